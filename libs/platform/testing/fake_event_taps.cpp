#include "platform/testing/fake_event_taps.hpp"

#include <algorithm>

namespace deskplay::platform::testing {

// Taps and monitors outlive neither the fake nor their owners: each side unregisters what it
// holds, so the registry is shared between them.
struct FakeEventTaps::Registry {
  std::vector<Tap*> taps;  // oldest first
  std::vector<Monitor*> monitors;
};

class FakeEventTaps::Tap final : public EventTap {
 public:
  Tap(std::shared_ptr<Registry> registry, EventMask mask, TapCallback callback)
      : registry_(std::move(registry)), mask_(mask), callback_(std::move(callback)) {
    registry_->taps.push_back(this);
  }
  ~Tap() override { std::erase(registry_->taps, this); }

  void enable() override { enabled_ = true; }
  bool isEnabled() const override { return enabled_; }

  EventMask mask() const { return mask_; }
  TapVerdict deliver(const Event& event) { return callback_(event); }
  void disable(EventType notice) {
    enabled_ = false;
    Event event;
    event.type = notice;
    callback_(event);
  }

 private:
  std::shared_ptr<Registry> registry_;
  EventMask mask_;
  TapCallback callback_;
  bool enabled_ = false;
};

class FakeEventTaps::Monitor final : public Observation {
 public:
  Monitor(std::shared_ptr<Registry> registry, EventMask mask, MonitorCallback callback)
      : registry_(std::move(registry)), mask_(mask), callback_(std::move(callback)) {
    registry_->monitors.push_back(this);
  }
  ~Monitor() override { std::erase(registry_->monitors, this); }

  void deliver(const Event& event) {
    if ((mask_ & eventMaskOf(event.type)) != 0) callback_(event);
  }

 private:
  std::shared_ptr<Registry> registry_;
  EventMask mask_;
  MonitorCallback callback_;
};

FakeEventTaps::FakeEventTaps() : registry_(std::make_shared<Registry>()) {}
FakeEventTaps::~FakeEventTaps() = default;

std::unique_ptr<EventTap> FakeEventTaps::createSessionTap(EventMask mask, TapCallback callback) {
  if (refuseTaps_) return nullptr;
  return std::make_unique<Tap>(registry_, mask, std::move(callback));
}

bool FakeEventTaps::post(const Event& event, PostLocation location) {
  if (failPosting_) return false;
  posted_.push_back(PostedEvent{event, location});
  return true;
}

bool FakeEventTaps::isButtonDown(MouseButton button) {
  return buttons_[button];
}

std::optional<Point> FakeEventTaps::pointerLocation() {
  return pointer_;
}

bool FakeEventTaps::warpPointer(Point location) {
  warps_.push_back(location);
  pointer_ = location;
  return true;
}

std::unique_ptr<Observation> FakeEventTaps::addGlobalMonitor(EventMask mask,
                                                             MonitorCallback callback) {
  return std::make_unique<Monitor>(registry_, mask, std::move(callback));
}

TapVerdict FakeEventTaps::inject(const Event& event) {
  // A callback may remove taps; walk a copy, head first.
  const std::vector<Tap*> taps = registry_->taps;
  for (auto tap = taps.rbegin(); tap != taps.rend(); ++tap) {
    if (std::find(registry_->taps.begin(), registry_->taps.end(), *tap) == registry_->taps.end()) {
      continue;
    }
    if (!(*tap)->isEnabled() || ((*tap)->mask() & eventMaskOf(event.type)) == 0) continue;
    if ((*tap)->deliver(event) == TapVerdict::swallow) return TapVerdict::swallow;
  }
  return TapVerdict::pass;
}

void FakeEventTaps::disableTapsByTimeout() {
  disableTaps(EventType::tapDisabledByTimeout);
}

void FakeEventTaps::disableTapsByUserInput() {
  disableTaps(EventType::tapDisabledByUserInput);
}

void FakeEventTaps::disableTaps(EventType notice) {
  const std::vector<Tap*> taps = registry_->taps;
  for (Tap* tap : taps) {
    if (tap->isEnabled()) tap->disable(notice);
  }
}

void FakeEventTaps::deliverToMonitors(const Event& event) {
  const std::vector<Monitor*> monitors = registry_->monitors;
  for (Monitor* monitor : monitors) {
    if (std::find(registry_->monitors.begin(), registry_->monitors.end(), monitor) !=
        registry_->monitors.end()) {
      monitor->deliver(event);
    }
  }
}

int FakeEventTaps::tapCount() const {
  return static_cast<int>(registry_->taps.size());
}

int FakeEventTaps::enabledTapCount() const {
  return static_cast<int>(std::count_if(registry_->taps.begin(), registry_->taps.end(),
                                        [](const Tap* tap) { return tap->isEnabled(); }));
}

std::optional<EventMask> FakeEventTaps::maskOfNewestTap() const {
  if (registry_->taps.empty()) return std::nullopt;
  return registry_->taps.back()->mask();
}

int FakeEventTaps::monitorCount() const {
  return static_cast<int>(registry_->monitors.size());
}

}  // namespace deskplay::platform::testing
