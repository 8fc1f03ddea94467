#include "listener/mouse_listener.hpp"

#include <cmath>

#include "listener/event_lines.hpp"

namespace deskplay::keyhark {

using platform::EventType;
using platform::TapVerdict;

namespace {

double distance(double x1, double y1, double x2, double y2) {
  return std::hypot(x2 - x1, y2 - y1);
}

}  // namespace

TapVerdict MouseListener::mouseTapCallback(const platform::Event& event) {
  if (event.sourceUserData == platform::kSyntheticPointerMarker) return TapVerdict::pass;
  if (isTapDisabledNotice(event)) {
    tap_.enable();
    return TapVerdict::pass;
  }
  const double x = event.location.x;
  const double y = event.location.y;
  switch (event.type) {
    case EventType::leftMouseDown:
      return leftMouseDown(x, y, event.flags);
    case EventType::leftMouseDragged:
      return leftMouseDragged(x, y);
    case EventType::leftMouseUp:
      return leftMouseUp(x, y);
    case EventType::rightMouseDown:
      return rightClick(x, y);
    case EventType::rightMouseUp:
      return TapVerdict::swallow;
    default:
      return TapVerdict::pass;
  }
}

TapVerdict MouseListener::leftMouseDown(double x, double y, std::uint64_t flags) {
  if ((flags & platform::event_flags::control) != 0) {
    emitMouse(events_, "rightclick", x, y, lookup_.fileUnderPoint(x, y));
    suppressNextLeftUp_ = true;
    return TapVerdict::swallow;
  }
  emitMouse(events_, "mousedown", x, y);
  lastMouseDown_ = MouseDown{x, y, clock_.sinceEpoch().count()};
  if (!capture_.captureDesktopDrags()) return TapVerdict::pass;
  if (!capture_.captureRectsContain(x, y)) return TapVerdict::pass;
  if (!lookup_.isDesktopPoint(x, y)) return TapVerdict::pass;
  capturingDrag_ = true;
  lastDragEmit_ = platform::Point{x, y};
  emitMouse(events_, "dragstart", x, y);
  return TapVerdict::swallow;
}

TapVerdict MouseListener::leftMouseDragged(double x, double y) {
  if (!capturingDrag_) return TapVerdict::pass;
  if (!lastDragEmit_) return TapVerdict::swallow;
  if (distance(lastDragEmit_->x, lastDragEmit_->y, x, y) < dragEmitMinDistance) {
    return TapVerdict::swallow;
  }
  lastDragEmit_ = platform::Point{x, y};
  emitMouse(events_, "drag", x, y);
  return TapVerdict::swallow;
}

TapVerdict MouseListener::leftMouseUp(double x, double y) {
  if (suppressNextLeftUp_) {
    suppressNextLeftUp_ = false;
    return TapVerdict::swallow;
  }
  const bool wasCapturing = capturingDrag_;
  capturingDrag_ = false;
  lastDragEmit_.reset();
  if (wasCapturing) emitMouse(events_, "dragend", x, y);
  emitMouse(events_, "mouseup", x, y);
  if (lastMouseDown_ && distance(lastMouseDown_->x, lastMouseDown_->y, x, y) <= clickMaxDistance &&
      clock_.sinceEpoch().count() - lastMouseDown_->t <= clickMaxDuration) {
    emitMouse(events_, "click", x, y, lookup_.fileUnderPoint(x, y));
  }
  lastMouseDown_.reset();
  return wasCapturing ? TapVerdict::swallow : TapVerdict::pass;
}

TapVerdict MouseListener::rightClick(double x, double y) {
  emitMouse(events_, "rightclick", x, y, lookup_.fileUnderPoint(x, y));
  return TapVerdict::swallow;
}

}  // namespace deskplay::keyhark
