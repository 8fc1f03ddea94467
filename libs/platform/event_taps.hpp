#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/geometry.hpp"
#include "platform/observation.hpp"

namespace deskplay::platform {

// Event types, with the window server's numbers. The two "tap disabled" types are not
// events: a tap receives them as notices.
enum class EventType : std::uint32_t {
  leftMouseDown = 1,
  leftMouseUp = 2,
  rightMouseDown = 3,
  rightMouseUp = 4,
  mouseMoved = 5,
  leftMouseDragged = 6,
  rightMouseDragged = 7,
  keyDown = 10,
  keyUp = 11,
  flagsChanged = 12,
  scrollWheel = 22,
  tapDisabledByTimeout = 0xFFFFFFFE,
  tapDisabledByUserInput = 0xFFFFFFFF,
};

using EventMask = std::uint64_t;

constexpr EventMask eventMaskOf(EventType type) {
  return EventMask{1} << static_cast<std::uint32_t>(type);
}

// Modifier flag bits of an event.
namespace event_flags {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
}  // namespace event_flags

// The value our own synthetic pointer events carry in their source user-data field, so
// that our listeners can tell them from the user's.
inline constexpr std::int64_t kSyntheticPointerMarker = 0x46494C45;

// One input event. Locations are global points with the origin at the top left of the main
// display.
struct Event {
  EventType type = EventType::keyDown;
  std::uint64_t flags = 0;
  std::int64_t keyCode = 0;  // the virtual key code of a key event
  std::string characters;
  std::string charactersIgnoringModifiers;
  Point location;
  std::int64_t sourceUserData = 0;
  // Scroll-wheel events: points, positive to the right and up.
  double scrollDeltaX = 0;
  double scrollDeltaY = 0;
};

enum class TapVerdict { pass, swallow };

// An installed session event tap.
class EventTap {
 public:
  virtual ~EventTap() = default;

  // A new tap delivers nothing until enabled. The system disables a tap that answers too
  // slowly (and tells it so through a tapDisabledByTimeout notice); enabling it again
  // resumes delivery.
  virtual void enable() = 0;
  virtual bool isEnabled() const = 0;
};

// Session event taps, posted events, the pointer and the mouse buttons, and global event
// monitors (the window server's event services).
// Call from the main thread, which must run an event loop: tap callbacks and monitor
// callbacks arrive there, one at a time. A tap callback's verdict decides the event's fate,
// so it must be quick.
class EventTaps {
 public:
  using TapCallback = std::function<TapVerdict(const Event&)>;
  using MonitorCallback = std::function<void(const Event&)>;

  enum class PostLocation { hidSystem, session };
  enum class MouseButton { left, right };

  virtual ~EventTaps() = default;

  // An active tap (it may swallow events) inserted at the head of the session's taps, for
  // the event types in `mask`. Nothing when the system refuses it (no permission).
  virtual std::unique_ptr<EventTap> createSessionTap(EventMask mask, TapCallback callback) = 0;

  // Posts a synthetic event with its source user data; false when it cannot be created.
  virtual bool post(const Event& event, PostLocation location) = 0;

  // The hardware state of a mouse button.
  virtual bool isButtonDown(MouseButton button) = 0;
  // The pointer's location; nothing when it cannot be read.
  virtual std::optional<Point> pointerLocation() = 0;
  // Moves the pointer without generating events.
  virtual bool warpPointer(Point location) = 0;

  // Watches events of `mask` that go to other applications; it cannot change them.
  virtual std::unique_ptr<Observation> addGlobalMonitor(EventMask mask,
                                                        MonitorCallback callback) = 0;
};

}  // namespace deskplay::platform
