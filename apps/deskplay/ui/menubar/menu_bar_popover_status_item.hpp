#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/distributed_notifications.hpp"
#include "platform/event_taps.hpp"
#include "platform/image.hpp"
#include "platform/main_loop_timers.hpp"
#include "platform/status_items.hpp"
#include "platform/windows.hpp"
#include "ui/menubar/event_monitor.hpp"
#include "ui/menubar/menu_bar_popover_window.hpp"
#include "ui/menubar/popover_content.hpp"
#include "ui/menubar/popup_alignment.hpp"
#include "ui/menubar/window_fade.hpp"

namespace deskplay::ui {

// The platform services the popover works with; all outlive it.
struct MenuBarPopoverPorts {
  platform::StatusItems& statusItems;
  platform::Windows& windows;
  platform::EventTaps& eventTaps;
  platform::DistributedNotifications& notifications;
  platform::MainLoopTimers& timers;
  const platform::Clock& clock;
};

// What the status item and its panel look like and how the panel is placed.
struct MenuBarPopoverScene {
  // The panel's title and the button's accessibility title; shown on the button when there is
  // no image.
  std::string title;
  std::optional<platform::Image> image;
  // Pops a menu up at the button (its window's frame, bottom-left origin) on a right click or
  // a Control click; without one such clicks go to the menu bar.
  std::function<void(const platform::Rect& button)> menu;
  PopUpAlignment alignment = PopUpAlignment::left;
  ScreenClippingBehaviour screenClippingBehaviour = ScreenClippingBehaviour::reverseAlignment;
};

enum class FrameAnimation { none, animated };

// The status item and the panel it drops down: a left click on the button toggles the panel, a
// mouse-down in another application or the panel losing key status closes it. Opening tells
// other menu-bar extras to close (the menu-tracking notifications), places the panel under
// the button and makes it key, which highlights the button; closing fades the panel out.
// Main thread.
class MenuBarPopoverStatusItem {
 public:
  static constexpr const char* kBeginMenuTracking =
      "com.apple.HIToolbox.beginMenuTrackingNotification";
  static constexpr const char* kEndMenuTracking = "com.apple.HIToolbox.endMenuTrackingNotification";
  static constexpr platform::Clock::Seconds kFadeDuration{0.3};
  static constexpr platform::EventMask kMouseDowns =
      platform::eventMaskOf(platform::EventType::leftMouseDown) |
      platform::eventMaskOf(platform::EventType::rightMouseDown);

  MenuBarPopoverStatusItem(const MenuBarPopoverPorts& ports, MenuBarPopoverScene scene,
                           PopoverContent& content);
  MenuBarPopoverStatusItem(const MenuBarPopoverStatusItem&) = delete;
  MenuBarPopoverStatusItem& operator=(const MenuBarPopoverStatusItem&) = delete;
  ~MenuBarPopoverStatusItem();

  // Opens the panel while it is hidden, closes it while it is shown.
  void didPressStatusButton();
  // Closes the panel: tells the other extras that menu tracking ended and fades it out.
  void dismissWindow();
  // Places the panel for a content of `size` under the button; without the button in the
  // menu bar the panel keeps its top edge where it is.
  void setWindowFrame(platform::Size size, FrameAnimation animation);

  // Shown, also while it fades out.
  bool isShown() const;
  bool isClosing() const { return fade_.isRunning(); }

  // The status item is in the menu bar; bound both ways: the person may remove it.
  void setInserted(bool inserted);
  bool isInserted() const;
  void setInsertedHandler(std::function<void(bool inserted)> handler) {
    insertedHandler_ = std::move(handler);
  }

  platform::StatusItem& statusItem() { return *statusItem_; }
  platform::ContentWindow& window() { return panel_->window(); }

 private:
  std::optional<platform::StatusItemClick> buttonMouseDown(const platform::StatusItemClick& click);
  void open();
  void keyChanged(platform::KeyState state);
  void contentResized(platform::Size size);
  void presenceChanged(platform::Presence presence);

  MenuBarPopoverPorts ports_;
  MenuBarPopoverScene scene_;
  std::unique_ptr<platform::StatusItem> statusItem_;
  std::unique_ptr<MenuBarPopoverWindow> panel_;
  LocalEventMonitor localEventMonitor_;
  GlobalEventMonitor globalEventMonitor_;
  WindowFade fade_;
  std::function<void(bool)> insertedHandler_;
  // Tasks queued on the main loop hold it weakly, so they do nothing once this is gone.
  std::shared_ptr<MenuBarPopoverStatusItem*> self_;
};

// The appearance of the scene's status item.
platform::StatusItemAppearance statusItemAppearance(const MenuBarPopoverScene& scene);

}  // namespace deskplay::ui
