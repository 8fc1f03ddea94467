#include "geometry/synth_mouse_drag.hpp"

#include <array>
#include <chrono>

namespace deskplay::glyphon {

namespace {

using platform::EventType;
using std::chrono::milliseconds;

struct DragStep {
  EventType type;
  platform::Point offset;
  milliseconds pauseAfter;
};

// Finder starts a drag only after the pointer has moved a few points with the button down;
// the pauses give it time to see each event.
constexpr std::array<DragStep, 6> kDragSteps{{
    {EventType::leftMouseDown, {0, 0}, milliseconds(15)},
    {EventType::leftMouseDragged, {5, 5}, milliseconds(12)},
    {EventType::leftMouseDragged, {10, 7}, milliseconds(12)},
    {EventType::leftMouseDragged, {5, 3}, milliseconds(12)},
    {EventType::leftMouseDragged, {0, 0}, milliseconds(12)},
    {EventType::leftMouseUp, {0, 0}, milliseconds(0)},
}};

}  // namespace

void PointerSynthesis::synthMouseDrag(platform::Point at) {
  synthesizingPointer_ = true;
  for (const DragStep& step : kDragSteps) {
    platform::Event event;
    event.type = step.type;
    event.location = {at.x + step.offset.x, at.y + step.offset.y};
    event.sourceUserData = platform::kSyntheticPointerMarker;
    (void)eventTaps_.post(event, platform::EventTaps::PostLocation::hidSystem);
    if (step.pauseAfter.count() > 0) clock_.sleepFor(step.pauseAfter);
  }
  synthesizingPointer_ = false;
}

}  // namespace deskplay::glyphon
