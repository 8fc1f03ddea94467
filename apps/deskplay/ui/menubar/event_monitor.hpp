#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/event_taps.hpp"
#include "platform/observation.hpp"
#include "platform/status_items.hpp"

namespace deskplay::ui {

// Watches mouse-downs of the types in `mask` while started. Each kind of monitor says in
// `start` where it watches; there is no monitor that watches nowhere, so `start` has no base
// implementation.
class EventMonitor {
 public:
  explicit EventMonitor(platform::EventMask mask) : mask_(mask) {}
  EventMonitor(const EventMonitor&) = delete;
  EventMonitor& operator=(const EventMonitor&) = delete;
  virtual ~EventMonitor() = default;

  // Installs the monitor, replacing one installed before.
  virtual void start() = 0;
  // Removes the monitor; nothing is watched until the next start.
  void stop() { monitor_.reset(); }
  bool isStarted() const { return monitor_ != nullptr; }
  platform::EventMask mask() const { return mask_; }

 protected:
  void install(std::unique_ptr<platform::Observation> monitor) { monitor_ = std::move(monitor); }

 private:
  platform::EventMask mask_;
  std::unique_ptr<platform::Observation> monitor_;
};

// Mouse-downs on a status item's button, before the menu bar takes them. The handler gives the
// click back to let it pass on, or nothing to swallow it.
class LocalEventMonitor final : public EventMonitor {
 public:
  using Handler =
      std::function<std::optional<platform::StatusItemClick>(const platform::StatusItemClick&)>;

  LocalEventMonitor(platform::StatusItem& item, platform::EventMask mask, Handler handler);
  ~LocalEventMonitor() override;

  void start() override;

 private:
  platform::StatusItem& item_;
  Handler handler_;
};

// Mouse-downs that go to other applications; the handler only observes them.
class GlobalEventMonitor final : public EventMonitor {
 public:
  using Handler = std::function<void(const platform::Event&)>;

  GlobalEventMonitor(platform::EventTaps& taps, platform::EventMask mask, Handler handler);

  void start() override;

 private:
  platform::EventTaps& taps_;
  Handler handler_;
};

// The event type of a mouse-down on a status item.
platform::EventType mouseDownType(const platform::StatusItemClick& click);

}  // namespace deskplay::ui
