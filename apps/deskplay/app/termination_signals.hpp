#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace deskplay::app {

// SIGTERM, SIGINT and SIGHUP, turned into a signal on the main thread, so that being told to
// end goes through the same quit as the menu: the engine is stopped and the desktop put back
// first. One instance per process.
class TerminationSignals final : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 signals:
  void received(int signalNumber);

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace deskplay::app
