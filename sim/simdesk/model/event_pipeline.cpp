#include "sim/simdesk/model/event_pipeline.hpp"

#include <algorithm>
#include <string_view>
#include <utility>
#include <variant>

namespace deskplay::simdesk {

using platform::Event;
using platform::EventType;

namespace {

constexpr platform::EventMask kKeyEvents = platform::eventMaskOf(EventType::keyDown) |
                                           platform::eventMaskOf(EventType::keyUp) |
                                           platform::eventMaskOf(EventType::flagsChanged);

bool isKeyEvent(EventType type) {
  return (platform::eventMaskOf(type) & kKeyEvents) != 0;
}

bool matches(platform::EventMask mask, EventType type) {
  return (mask & platform::eventMaskOf(type)) != 0;
}

std::string textAttribute(AccessibilityTree& tree, platform::AccessibilityElement element,
                          std::string_view name) {
  const platform::AttributeValue value = tree.attribute(element, name);
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr ? *text : std::string();
}

// The desktop itself, one of its icons or an icon's label (not a Finder window's entry).
bool isOnDesktop(AccessibilityTree& tree, platform::AccessibilityElement element) {
  for (int depth = 0; depth < 3; ++depth) {
    if (textAttribute(tree, element, platform::kAXRole) == "AXScrollArea") {
      return textAttribute(tree, element, "AXDescription") == "desktop";
    }
    const platform::AttributeValue parent = tree.attribute(element, platform::kAXParent);
    const auto* next = std::get_if<platform::AccessibilityElement>(&parent);
    if (next == nullptr) return false;
    element = *next;
  }
  return false;
}

}  // namespace

EventPipeline::EventPipeline(Applications& applications, Finder& finder,
                             AccessibilityTree& accessibility, Privacy& privacy,
                             platform::Clock& clock)
    : applications_(applications),
      finder_(finder),
      accessibility_(accessibility),
      privacy_(privacy),
      clock_(clock),
      desktopMouse_(finder) {}

std::uint64_t EventPipeline::inject(Event event) {
  event.sourceUserData = 0;
  return enqueue(std::move(event), EventOrigin::hardware);
}

std::uint64_t EventPipeline::post(Event event) {
  return enqueue(std::move(event), EventOrigin::posted);
}

std::uint64_t EventPipeline::enqueue(Event event, EventOrigin origin) {
  const std::uint64_t sequence = nextSequence_++;
  queue_.push_back(Pending{sequence, origin, std::move(event)});
  pump();
  return sequence;
}

std::optional<std::uint64_t> EventPipeline::createTap(Owner owner, platform::EventMask mask,
                                                      TapDelivery deliver) {
  if ((mask & kKeyEvents) != 0 && !mayWatchKeys(owner.pid)) return std::nullopt;
  const std::uint64_t id = nextId_++;
  taps_.emplace(id, Tap{owner, mask, false, std::move(deliver)});
  tapOrder_.push_back(id);
  return id;
}

bool EventPipeline::setTapEnabled(std::uint64_t tap, bool enabled) {
  const auto found = taps_.find(tap);
  if (found == taps_.end()) return false;
  found->second.enabled = enabled;
  return true;
}

std::optional<bool> EventPipeline::isTapEnabled(std::uint64_t tap) const {
  const auto found = taps_.find(tap);
  if (found == taps_.end()) return std::nullopt;
  return found->second.enabled;
}

void EventPipeline::removeTap(std::uint64_t tap) {
  if (taps_.erase(tap) == 0) return;
  std::erase(tapOrder_, tap);
  // An event waiting for the tap goes on as if it had passed.
  if (current_ && current_->awaited == tap) {
    current_->awaited.reset();
    pump();
  }
}

void EventPipeline::answer(std::uint64_t tap, std::uint64_t sequence,
                           platform::TapVerdict verdict) {
  if (!current_ || current_->awaited != tap || current_->pending.sequence != sequence) return;
  current_->verdict = verdict;
  pump();
}

std::uint64_t EventPipeline::addMonitor(Owner owner, platform::EventMask mask,
                                        MonitorDelivery deliver) {
  const std::uint64_t id = nextId_++;
  monitors_.emplace(id, Monitor{owner, mask, std::move(deliver)});
  return id;
}

void EventPipeline::removeMonitor(std::uint64_t monitor) {
  monitors_.erase(monitor);
}

std::optional<std::uint64_t> EventPipeline::clientOf(std::uint64_t tapOrMonitor) const {
  if (const auto tap = taps_.find(tapOrMonitor); tap != taps_.end())
    return tap->second.owner.client;
  if (const auto monitor = monitors_.find(tapOrMonitor); monitor != monitors_.end()) {
    return monitor->second.owner.client;
  }
  return std::nullopt;
}

void EventPipeline::removeClient(std::uint64_t client) {
  // The monitors go first: removing a tap lets an awaited event go on to the monitors.
  std::erase_if(monitors_,
                [client](const auto& entry) { return entry.second.owner.client == client; });
  std::vector<std::uint64_t> gone;
  for (const auto& [id, tap] : taps_) {
    if (tap.owner.client == client) gone.push_back(id);
  }
  for (const std::uint64_t id : gone) removeTap(id);
}

bool EventPipeline::isButtonDown(platform::EventTaps::MouseButton button) const {
  return button == platform::EventTaps::MouseButton::left ? leftDown_ : rightDown_;
}

void EventPipeline::settle() {
  if (!current_ || !current_->awaited || current_->verdict) return;
  if (clock_.uptime() < current_->deadline) return;
  const std::uint64_t tapId = *current_->awaited;
  current_->awaited.reset();
  const auto found = taps_.find(tapId);
  if (found != taps_.end()) {
    Tap& tap = found->second;
    tap.enabled = false;
    record({current_->pending.sequence, DeliveryRecord::Stage::tap, current_->pending.origin, tapId,
            tap.owner.pid, applicationName(tap.owner.pid), TapAction::timedOut,
            current_->pending.event});
    Event notice;
    notice.type = EventType::tapDisabledByTimeout;
    notice.location = pointer_;
    // The notice may reach a client that removes the tap; the copy keeps the call valid.
    const TapDelivery deliverNotice = tap.deliver;
    deliverNotice(0, notice);
  }
  pump();
}

std::optional<platform::Clock::Seconds> EventPipeline::timeToNextTimeout() const {
  if (!current_ || !current_->awaited || current_->verdict) return std::nullopt;
  return std::max(platform::Clock::Seconds(0), current_->deadline - clock_.uptime());
}

void EventPipeline::addDeliveredListener(std::function<void(std::uint64_t)> listener) {
  deliveredListeners_.push_back(std::move(listener));
}

void EventPipeline::addWaitListener(std::function<void(platform::Clock::Seconds)> listener) {
  waitListeners_.push_back(std::move(listener));
}

void EventPipeline::pump() {
  // A tap may answer, post or remove taps from inside its delivery; the outer call carries on.
  if (pumping_) return;
  pumping_ = true;
  while (true) {
    if (!current_) {
      if (queue_.empty()) break;
      begin();
    }
    if (current_->verdict) takeVerdict();
    if (current_->awaited) break;
    if (current_->swallowed || current_->nextTap >= current_->taps.size()) {
      finish();
      continue;
    }
    offerToNextTap();
  }
  pumping_ = false;
}

void EventPipeline::begin() {
  InFlight flight;
  flight.pending = std::move(queue_.front());
  queue_.pop_front();
  flight.taps.assign(tapOrder_.rbegin(), tapOrder_.rend());
  // Key events carry where the pointer is, as the window server's do.
  if (isKeyEvent(flight.pending.event.type)) flight.pending.event.location = pointer_;
  applyHardwareState(flight.pending.event);
  current_ = std::move(flight);
}

void EventPipeline::applyHardwareState(const Event& event) {
  switch (event.type) {
    case EventType::leftMouseDown:
      leftDown_ = true;
      break;
    case EventType::leftMouseUp:
      leftDown_ = false;
      break;
    case EventType::rightMouseDown:
      rightDown_ = true;
      break;
    case EventType::rightMouseUp:
      rightDown_ = false;
      break;
    default:
      break;
  }
  if (!isKeyEvent(event.type)) pointer_ = event.location;
}

void EventPipeline::offerToNextTap() {
  InFlight& flight = *current_;
  const std::uint64_t tapId = flight.taps[flight.nextTap++];
  const auto found = taps_.find(tapId);
  if (found == taps_.end() || !found->second.enabled ||
      !matches(found->second.mask, flight.pending.event.type)) {
    return;
  }
  flight.awaited = tapId;
  flight.deadline = clock_.uptime() + tapTimeout_;
  for (const auto& listener : waitListeners_) listener(tapTimeout_);
  const TapDelivery deliverEvent = found->second.deliver;
  const Event event = flight.pending.event;
  deliverEvent(flight.pending.sequence, event);
}

void EventPipeline::takeVerdict() {
  InFlight& flight = *current_;
  const std::uint64_t tapId = *flight.awaited;
  const platform::TapVerdict verdict = *flight.verdict;
  flight.awaited.reset();
  flight.verdict.reset();
  const auto found = taps_.find(tapId);
  const platform::ProcessId owner = found != taps_.end() ? found->second.owner.pid : 0;
  const bool swallow = verdict == platform::TapVerdict::swallow;
  record({flight.pending.sequence, DeliveryRecord::Stage::tap, flight.pending.origin, tapId, owner,
          applicationName(owner), swallow ? TapAction::swallowed : TapAction::passed,
          flight.pending.event});
  if (swallow) flight.swallowed = true;
}

void EventPipeline::finish() {
  const InFlight flight = std::move(*current_);
  current_.reset();
  if (!flight.swallowed) deliver(flight.pending);
  lastDelivered_ = flight.pending.sequence;
  for (const auto& listener : deliveredListeners_) listener(flight.pending.sequence);
}

void EventPipeline::deliver(const Pending& pending) {
  const Event& event = pending.event;
  Target target = targetOf(event);
  if (routing_ != nullptr) {
    if (auto claimed = routing_->claim(event)) target = Target{claimed, false};
  }

  // Monitors may go while others run; the ids are taken first.
  std::vector<std::uint64_t> monitorIds;
  for (const auto& [id, monitor] : monitors_) monitorIds.push_back(id);
  for (const std::uint64_t id : monitorIds) {
    const auto found = monitors_.find(id);
    if (found == monitors_.end()) continue;
    const Monitor& monitor = found->second;
    if (!matches(monitor.mask, event.type)) continue;
    if (target.pid && *target.pid == monitor.owner.pid) continue;
    // Keys reach only the monitors of applications trusted to watch them.
    if (isKeyEvent(event.type) && !mayWatchKeys(monitor.owner.pid)) continue;
    record({pending.sequence, DeliveryRecord::Stage::monitor, pending.origin, id, monitor.owner.pid,
            applicationName(monitor.owner.pid), TapAction::passed, event});
    const MonitorDelivery deliverEvent = monitor.deliver;
    deliverEvent(event);
  }
  if (routing_ != nullptr) routing_->delivered(event);

  if (!target.pid) return;
  record({pending.sequence, DeliveryRecord::Stage::application, pending.origin, 0, *target.pid,
          applicationName(*target.pid), TapAction::passed, event});
  if (target.desktop && finder_.isRunning() && finder_.pid() == target.pid) finderHandles(event);
}

EventPipeline::Target EventPipeline::targetOf(const Event& event) {
  if (isKeyEvent(event.type)) return Target{applications_.frontmost(), false};
  switch (event.type) {
    case EventType::leftMouseDown:
    case EventType::rightMouseDown: {
      const Target target = underPointer(event.location);
      mouseCapture_ = target;
      return target;
    }
    case EventType::leftMouseDragged:
    case EventType::rightMouseDragged:
      return mouseCapture_ ? *mouseCapture_ : underPointer(event.location);
    case EventType::leftMouseUp:
    case EventType::rightMouseUp: {
      const Target target = mouseCapture_ ? *mouseCapture_ : underPointer(event.location);
      mouseCapture_.reset();
      return target;
    }
    default:
      return underPointer(event.location);
  }
}

EventPipeline::Target EventPipeline::underPointer(platform::Point location) {
  const auto element = accessibility_.elementAtPoint(location);
  if (!element) return Target{};
  return Target{accessibility_.processOf(*element), isOnDesktop(accessibility_, *element)};
}

void EventPipeline::finderHandles(const Event& event) {
  switch (event.type) {
    case EventType::leftMouseDown:
    case EventType::rightMouseDown:
      desktopMouse_.press(event.location);
      break;
    case EventType::leftMouseDragged:
      desktopMouse_.drag(event.location);
      break;
    case EventType::leftMouseUp:
      desktopMouse_.release(event.location);
      break;
    default:
      break;
  }
}

bool EventPipeline::mayWatchKeys(platform::ProcessId pid) const {
  const std::string name = applicationName(pid);
  return privacy_.isGranted(PrivacyService::accessibility, name) ||
         privacy_.isGranted(PrivacyService::inputMonitoring, name);
}

std::string EventPipeline::applicationName(platform::ProcessId pid) const {
  const Application* application = applications_.byPid(pid);
  return application != nullptr ? application->name : std::string();
}

void EventPipeline::record(DeliveryRecord entry) {
  if (log_.size() >= kLogCapacity) log_.pop_front();
  log_.push_back(std::move(entry));
}

}  // namespace deskplay::simdesk
