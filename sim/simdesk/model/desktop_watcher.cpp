#include "sim/simdesk/model/desktop_watcher.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cstring>

namespace deskplay::simdesk {

namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_ATTRIB | IN_CLOSE_WRITE | IN_MODIFY | IN_DELETE_SELF |
                                        IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kParentEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

}  // namespace

DesktopWatcher::DesktopWatcher(std::filesystem::path folder, Report report)
    : folder_(std::move(folder)),
      report_(std::move(report)),
      inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (!inotify_.valid()) return;
  arm();
  // Without an event loop the owner drains by hand.
  if (QCoreApplication::instance() != nullptr) {
    notifier_ = std::make_unique<QSocketNotifier>(inotify_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
  }
}

DesktopWatcher::~DesktopWatcher() = default;

void DesktopWatcher::arm() {
  if (folderWatch_ >= 0) inotify_rm_watch(inotify_.get(), folderWatch_);
  folderWatch_ = inotify_add_watch(inotify_.get(), folder_.c_str(), kFolderEvents);
  if (parentWatch_ < 0) {
    parentWatch_ = inotify_add_watch(inotify_.get(), folder_.parent_path().c_str(), kParentEvents);
  }
}

void DesktopWatcher::drain() {
  if (!inotify_.valid()) return;
  std::vector<std::string> names;
  bool everything = false;
  alignas(inotify_event) std::array<char, 16384> buffer{};
  while (true) {
    const ssize_t length = ::read(inotify_.get(), buffer.data(), buffer.size());
    if (length <= 0) break;
    for (ssize_t offset = 0; offset < length;) {
      inotify_event event{};
      std::memcpy(&event, buffer.data() + offset, sizeof event);
      const char* nameStart = buffer.data() + offset + sizeof(inotify_event);
      const std::string name = event.len > 0 ? std::string(nameStart) : std::string();
      offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);

      if ((event.mask & IN_Q_OVERFLOW) != 0) {
        everything = true;
      } else if (event.wd == folderWatch_) {
        if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
          // A moved folder keeps its watch; only a folder at the path counts.
          if ((event.mask & IN_MOVE_SELF) != 0) inotify_rm_watch(inotify_.get(), event.wd);
          everything = true;
          folderWatch_ = -1;
        } else if (!name.empty()) {
          names.push_back(name);
        }
      } else if (event.wd == parentWatch_ && name == folder_.filename().string()) {
        everything = true;
        arm();
      }
    }
  }
  if (everything && folderWatch_ < 0) arm();
  if (everything || !names.empty()) report_(names, everything);
}

}  // namespace deskplay::simdesk
