#pragma once

#include <optional>

#include "listener/capture_settings.hpp"
#include "listener/desktop_lookup.hpp"
#include "listener/global_event_tap.hpp"
#include "listener/keyboard_listener.hpp"
#include "listener/line_output.hpp"
#include "listener/mouse_listener.hpp"
#include "platform/accessibility.hpp"
#include "platform/clock.hpp"
#include "platform/event_taps.hpp"
#include "platform/privacy_checks.hpp"
#include "platform/windows.hpp"
#include "platform/workspace.hpp"

namespace deskplay::keyhark {

enum class ListenMode { keyboard, mouse };

struct ListenerServices {
  platform::EventTaps& taps;
  platform::Accessibility& accessibility;
  platform::PrivacyChecks& privacy;
  platform::Workspace& workspace;
  platform::Windows& windows;
  const platform::Clock& clock;
  LineOutput& events;  // standard output
  LineOutput& status;  // standard error
};

// The listener of one process, in keyboard or mouse mode: its tap, its callback and, in
// mouse mode, the drag capture settings that the command reader changes.
class InputListener {
 public:
  // Event types of each mode's tap.
  static constexpr platform::EventMask kKeyboardMask =
      platform::eventMaskOf(platform::EventType::keyDown);
  static constexpr platform::EventMask kMouseMask =
      platform::eventMaskOf(platform::EventType::leftMouseDown) |
      platform::eventMaskOf(platform::EventType::leftMouseUp) |
      platform::eventMaskOf(platform::EventType::leftMouseDragged) |
      platform::eventMaskOf(platform::EventType::rightMouseDown) |
      platform::eventMaskOf(platform::EventType::rightMouseUp);

  InputListener(ListenMode mode, ListenerServices services);
  InputListener(const InputListener&) = delete;
  InputListener& operator=(const InputListener&) = delete;

  // Runs once the event loop is up: without permission, says so on standard error and asks
  // for it; then installs and enables the tap ("LISTENER_READY"), or says it could not
  // ("LISTENER_TAP_FAILED"). Carries on either way.
  void didFinishLaunching();

  CaptureSettings& captureSettings() { return capture_; }
  bool hasTap() const { return tap_.installed(); }

 private:
  platform::TapVerdict callback(const platform::Event& event);

  ListenMode mode_;
  ListenerServices services_;
  GlobalEventTap tap_;
  CaptureSettings capture_;
  DesktopLookup lookup_;
  KeyboardListener keyboard_;
  MouseListener mouse_;
};

}  // namespace deskplay::keyhark
