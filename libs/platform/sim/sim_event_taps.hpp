#pragma once

#include <memory>

#include "platform/event_taps.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// simdesk's event services. Tap and monitor callbacks arrive as events simdesk pushes, so
// they run on the thread that calls the connection's `dispatchEvents` (the main loop, with a
// SimdeskEventPump); a tap's verdict goes back at once, without waiting for a reply.
// Without simdesk there is no tap, posting fails, the pointer is unknown and no button is
// down. A monitor added without simdesk, and every live tap and monitor after simdesk
// restarted, is installed again at this adapter's next call that reaches simdesk (a tap keeps
// whether it was enabled). The connection must outlive the adapter and what it gave out.
class SimEventTaps final : public EventTaps {
 public:
  explicit SimEventTaps(simdesk::protocol::Connection& connection);
  ~SimEventTaps() override;
  SimEventTaps(const SimEventTaps&) = delete;
  SimEventTaps& operator=(const SimEventTaps&) = delete;

  std::unique_ptr<EventTap> createSessionTap(EventMask mask, TapCallback callback) override;
  bool post(const Event& event, PostLocation location) override;
  bool isButtonDown(MouseButton button) override;
  std::optional<Point> pointerLocation() override;
  bool warpPointer(Point location) override;
  std::unique_ptr<Observation> addGlobalMonitor(EventMask mask, MonitorCallback callback) override;

 private:
  struct Registry;
  class Tap;
  class Monitor;

  std::shared_ptr<Registry> registry_;
  int tapListener_ = 0;
  int monitorListener_ = 0;
};

}  // namespace deskplay::platform
