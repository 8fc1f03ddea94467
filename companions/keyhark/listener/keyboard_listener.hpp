#pragma once

#include "listener/global_event_tap.hpp"
#include "listener/line_output.hpp"
#include "platform/event_taps.hpp"

namespace deskplay::keyhark {

// Keyboard mode: every key press becomes a "keydown" line. Keys pressed with Control,
// Option or Command go on to the system so that shortcuts keep working; all others (plain
// and shifted typing) belong to the game and are swallowed.
class KeyboardListener {
 public:
  static constexpr std::uint64_t kPassThroughFlags = platform::event_flags::control |
                                                     platform::event_flags::option |
                                                     platform::event_flags::command;

  KeyboardListener(GlobalEventTap& tap, LineOutput& events) : tap_(tap), events_(events) {}

  platform::TapVerdict eventTapCallback(const platform::Event& event);

 private:
  GlobalEventTap& tap_;
  LineOutput& events_;
};

}  // namespace deskplay::keyhark
