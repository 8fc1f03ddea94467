#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/unique_fd.hpp"

class QSocketNotifier;

namespace deskplay::simdesk {

// Watches one folder with inotify and reports the names of entries that appeared, went,
// or changed (contents or attributes, extended attributes among them). Events are read when
// the Qt event loop says the descriptor is readable, or by `drain`. When the folder itself is
// missing, moved or removed, the parent is watched until it comes back, and the report says
// "everything".
class DesktopWatcher {
 public:
  using Report = std::function<void(const std::vector<std::string>& names, bool everything)>;

  DesktopWatcher(std::filesystem::path folder, Report report);
  ~DesktopWatcher();
  DesktopWatcher(const DesktopWatcher&) = delete;
  DesktopWatcher& operator=(const DesktopWatcher&) = delete;

  // Reads every pending event and reports them (nothing when none are pending).
  void drain();
  bool watching() const { return folderWatch_ >= 0; }

 private:
  void arm();

  std::filesystem::path folder_;
  Report report_;
  UniqueFd inotify_;
  int folderWatch_ = -1;
  int parentWatch_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace deskplay::simdesk
