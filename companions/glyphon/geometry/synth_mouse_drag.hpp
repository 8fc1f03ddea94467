#pragma once

#include "platform/clock.hpp"
#include "platform/event_taps.hpp"
#include "platform/geometry.hpp"

namespace deskplay::glyphon {

// Posts the short left-button drag with which the engine makes Finder pick an icon up, as
// the user's hand would: down, four small moves, back, up, each event marked with
// platform::kSyntheticPointerMarker so that our own listeners leave it alone.
class PointerSynthesis {
 public:
  PointerSynthesis(platform::EventTaps& eventTaps, platform::Clock& clock)
      : eventTaps_(eventTaps), clock_(clock) {}

  // Blocks the calling thread for about 63 ms. An event that cannot be posted is left out;
  // the pause after it is kept, so that the others keep their timing.
  void synthMouseDrag(platform::Point at);
  // True only while synthMouseDrag posts its events.
  bool synthesizingPointer() const { return synthesizingPointer_; }

 private:
  platform::EventTaps& eventTaps_;
  platform::Clock& clock_;
  bool synthesizingPointer_ = false;
};

}  // namespace deskplay::glyphon
