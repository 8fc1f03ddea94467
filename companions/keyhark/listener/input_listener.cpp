#include "listener/input_listener.hpp"

#include "platform/input_permission.hpp"

namespace deskplay::keyhark {

InputListener::InputListener(ListenMode mode, ListenerServices services)
    : mode_(mode),
      services_(services),
      lookup_(services.accessibility, services.windows),
      keyboard_(tap_, services.events),
      mouse_(tap_, capture_, lookup_, services.clock, services.events) {}

void InputListener::didFinishLaunching() {
  if (!platform::hasInputPermission(services_.accessibility, services_.privacy)) {
    services_.status.writeLine("LISTENER_PERMISSION_DENIED");
    services_.status.writeLine(
        "Global keyboard capture needs Accessibility (or Input Monitoring) for the app that "
        "launched this program.");
    services_.status.writeLine(
        "Opening System Settings — grant access to your terminal, then restart this program.");
    platform::promptForInputPermission(services_.accessibility, services_.workspace);
  }
  auto tap = services_.taps.createSessionTap(
      mode_ == ListenMode::keyboard ? kKeyboardMask : kMouseMask,
      [this](const platform::Event& event) { return callback(event); });
  if (!tap) {
    services_.status.writeLine("LISTENER_TAP_FAILED");
    services_.status.writeLine(
        "Could not create the keyboard event tap — check Accessibility permission.");
    return;
  }
  tap_.install(std::move(tap));
  tap_.enable();
  services_.status.writeLine("LISTENER_READY");
}

platform::TapVerdict InputListener::callback(const platform::Event& event) {
  return mode_ == ListenMode::keyboard ? keyboard_.eventTapCallback(event)
                                       : mouse_.mouseTapCallback(event);
}

}  // namespace deskplay::keyhark
