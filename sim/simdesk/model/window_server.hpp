#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.hpp"
#include "platform/windows.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/window_surface.hpp"

namespace deskplay::simdesk {

// Content windows are drawn by their application; the open panel by the system.
enum class WindowRole { window, statusPanel, finderWindow, content, openPanel };

// The role's name in state listings and replies.
std::string_view windowRoleName(WindowRole role);

// One window of an application. Frames have the bottom-left origin.
struct SimWindow {
  std::uint32_t number = 0;
  platform::ProcessId owner = 0;
  WindowRole role = WindowRole::window;
  platform::WindowSpec spec;
  platform::WindowTraits traits;
  platform::Rect frame;
  std::string title;
  bool ordered = false;          // ordered in (front) and not out
  bool hiddenWithApp = false;    // its application is hidden and the window can hide
  std::uint64_t orderStamp = 0;  // later order-front calls are nearer the front
  platform::StatusPanel::Content statusContent;         // status panels only
  double alpha = 1;                                     // blended over what is behind it
  std::shared_ptr<WindowSurface> surface;               // content windows only
  std::vector<platform::AccessibleNode> accessibility;  // content windows, as published

  bool onScreen() const { return ordered && !hiddenWithApp; }
};

// The window server: every application's windows with their levels and order, and the
// on-screen window list. Closing an application's connection closes its windows.
class WindowServer {
 public:
  WindowServer(Screens& screens, Applications& applications);

  // A new window, hidden until ordered front. Its frame is the content rectangle it was made with.
  std::uint32_t createWindow(platform::ProcessId owner, const platform::WindowSpec& spec,
                             WindowRole role = WindowRole::window);
  // Errors only for an unknown window number.
  Status configure(std::uint32_t number, const platform::WindowTraits& traits);
  Status setFrame(std::uint32_t number, const platform::Rect& frame);
  Status setTitle(std::uint32_t number, std::string title);
  Status orderFront(std::uint32_t number);
  Status orderOut(std::uint32_t number);
  Status setStatusContent(std::uint32_t number, const platform::StatusPanel::Content& content);
  Status setAlpha(std::uint32_t number, double alpha);
  Status setAccessibility(std::uint32_t number, std::vector<platform::AccessibleNode> roots);
  // A content window's pixels, made at the given size (cleared) when it has another one.
  Result<WindowSurface*> resizeSurface(std::uint32_t number, int width, int height);
  // Tells the listeners that what a window shows changed (a content window's pixels).
  void contentChanged(std::uint32_t number);
  // Makes the window key and orders it front; the window that was key resigns.
  Status makeKey(std::uint32_t number);
  // The key window resigns (nothing happens for another window).
  Status resignKey(std::uint32_t number);
  std::optional<std::uint32_t> keyWindow() const { return key_; }
  Status close(std::uint32_t number);
  void closeAllOf(platform::ProcessId owner);

  const SimWindow* window(std::uint32_t number) const;
  std::vector<const SimWindow*> windowsOf(platform::ProcessId owner) const;
  // The windows on screen, front to back (higher level first, then most recently ordered).
  std::vector<const SimWindow*> onScreenOrder() const;
  // CGWindowListCopyWindowInfo(on screen only, excluding desktop elements): our windows,
  // the Dock and the menu bar (unless they autohide), front to back, bounds with the
  // top-left origin.
  std::vector<platform::WindowInfo> onScreenWindowList() const;

  // Called after every change of any window (creation, traits, frame, order, content).
  void addChangeListener(std::function<void(std::uint32_t number)> listener);
  // Called when a window becomes key or resigns, but not when a closed window's key state
  // goes with it.
  void addKeyListener(
      std::function<void(const SimWindow& window, platform::KeyState state)> listener);

 private:
  SimWindow* find(std::uint32_t number);
  void changed(std::uint32_t number);
  void applicationVisibilityChanged(platform::ProcessId pid);

  Screens& screens_;
  Applications& applications_;
  std::map<std::uint32_t, SimWindow> windows_;
  std::uint32_t nextNumber_ = 100;
  std::uint64_t nextStamp_ = 1;
  std::vector<std::function<void(std::uint32_t)>> listeners_;
  std::vector<std::function<void(const SimWindow&, platform::KeyState)>> keyListeners_;
  std::optional<std::uint32_t> key_;
};

}  // namespace deskplay::simdesk
