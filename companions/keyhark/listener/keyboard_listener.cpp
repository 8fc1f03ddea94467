#include "listener/keyboard_listener.hpp"

#include "listener/event_lines.hpp"

namespace deskplay::keyhark {

using platform::TapVerdict;

TapVerdict KeyboardListener::eventTapCallback(const platform::Event& event) {
  if (isTapDisabledNotice(event)) {
    tap_.enable();
    return TapVerdict::pass;
  }
  if (event.type != platform::EventType::keyDown) return TapVerdict::pass;
  emitKeydown(events_, event.keyCode, event.charactersIgnoringModifiers);
  return (event.flags & kPassThroughFlags) != 0 ? TapVerdict::pass : TapVerdict::swallow;
}

}  // namespace deskplay::keyhark
