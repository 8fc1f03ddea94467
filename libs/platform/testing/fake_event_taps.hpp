#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/event_taps.hpp"

namespace deskplay::platform::testing {

// The session's taps, monitors, pointer and buttons, driven by the test. Injected events go
// through the enabled taps head first (the newest tap is the head) until one swallows them;
// the system's "tap disabled" notices can be sent at will.
class FakeEventTaps final : public EventTaps {
 public:
  struct PostedEvent {
    Event event;
    PostLocation location;
  };

  FakeEventTaps();
  ~FakeEventTaps() override;

  std::unique_ptr<EventTap> createSessionTap(EventMask mask, TapCallback callback) override;
  bool post(const Event& event, PostLocation location) override;
  bool isButtonDown(MouseButton button) override;
  std::optional<Point> pointerLocation() override;
  bool warpPointer(Point location) override;
  std::unique_ptr<Observation> addGlobalMonitor(EventMask mask, MonitorCallback callback) override;

  // What the taps decided: swallowed by the first tap that swallowed it, else passed.
  TapVerdict inject(const Event& event);
  // The tap is disabled by time-out now: every tap is disabled and told so.
  void disableTapsByTimeout();
  void disableTapsByUserInput();
  // Hands the event to every global monitor whose mask has its type.
  void deliverToMonitors(const Event& event);

  void refuseTaps(bool refused) { refuseTaps_ = refused; }
  void failPosting(bool failing) { failPosting_ = failing; }
  void setButtonDown(MouseButton button, bool down) { buttons_[button] = down; }
  void setPointerLocation(std::optional<Point> location) { pointer_ = location; }

  int tapCount() const;
  int enabledTapCount() const;
  std::optional<EventMask> maskOfNewestTap() const;
  const std::vector<PostedEvent>& posted() const { return posted_; }
  const std::vector<Point>& warps() const { return warps_; }
  int monitorCount() const;

 private:
  struct Registry;
  class Tap;
  class Monitor;

  std::shared_ptr<Registry> registry_;
  bool refuseTaps_ = false;
  bool failPosting_ = false;
  std::map<MouseButton, bool> buttons_;
  std::optional<Point> pointer_ = Point{720, 450};
  std::vector<PostedEvent> posted_;
  std::vector<Point> warps_;

  void disableTaps(EventType notice);
};

}  // namespace deskplay::platform::testing
