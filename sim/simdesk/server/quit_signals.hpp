#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

#include "common/unique_fd.hpp"

namespace deskplay::simdesk::server {

// Ends the Qt event loop (exit status 0) when SIGTERM or SIGINT arrives, so that the
// program leaves through its normal clean-up. One per process.
class QuitSignals final : public QObject {
 public:
  QuitSignals();
  ~QuitSignals() override;

 private:
  UniqueFd readEnd_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace deskplay::simdesk::server
