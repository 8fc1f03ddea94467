#pragma once

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "listed_windows.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/qt/qt_main_loop_timers.hpp"
#include "platform/sim/sim_distributed_notifications.hpp"
#include "platform/sim/sim_event_taps.hpp"
#include "platform/sim/sim_status_items.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/simdesk_event_pump.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "ui/hosting/quick_popover_host.hpp"
#include "ui/menubar/menu_bar_popover.hpp"

namespace deskplay::testing {

// The QML stand-in for the screens in a popover of this process, in a private simdesk: the
// person's clicks and moves go through simdesk, and what simdesk shows is read back with
// simdeskctl. `wideItemsBefore` status items with long titles are made first, so that the
// popover's item stands that far left of the clock.
class PopoverInSimdesk {
 public:
  explicit PopoverInSimdesk(int wideItemsBefore);
  ~PopoverInSimdesk();

  bool started() const { return popover_ != nullptr; }
  ui::QuickPopoverHost& host() { return *host_; }
  ui::MenuBarPopover& popover() { return *popover_; }
  SimdeskSession& session() { return session_; }
  SimdeskInput& person() { return *person_; }

  // The status item's button window, top-left origin.
  platform::Rect itemFrame();
  // The person clicks at a point, and simdesk has delivered it; this process's events are
  // handled meanwhile.
  bool click(platform::Point at);
  bool move(platform::Point to);
  // The popover's panel as simdesk lists it, when it is on screen.
  std::optional<ListedWindow> panel();
  // Waits, running this process's event loop, until `condition` holds.
  static bool waitFor(const std::function<bool()>& condition);
  // simdesk's screenshot, also saved as `name`.png in the screenshots folder.
  QImage screenshot(const std::string& name);

 private:
  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimdeskEventPump> pump_;
  std::unique_ptr<platform::SimStatusItems> statusItems_;
  std::unique_ptr<platform::SimWindows> windows_;
  std::unique_ptr<platform::SimEventTaps> eventTaps_;
  std::unique_ptr<platform::SimDistributedNotifications> notifications_;
  platform::SystemClock clock_;
  std::vector<std::unique_ptr<platform::StatusItem>> wideItems_;
  std::unique_ptr<SimdeskInput> person_;
  std::unique_ptr<ui::QuickPopoverHost> host_;
  std::unique_ptr<ui::MenuBarPopover> popover_;
};

}  // namespace deskplay::testing
