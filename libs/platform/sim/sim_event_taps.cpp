#include "platform/sim/sim_event_taps.hpp"

#include <cstdint>
#include <map>
#include <utility>

#include "sim/simdesk/protocol/event_wire.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::platform {

namespace protocol = simdesk::protocol;
namespace requests = protocol::requests;
using nlohmann::json;
using protocol::Effect;

namespace {

std::optional<std::uint64_t> unsignedField(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_number_unsigned()) return std::nullopt;
  return found->get<std::uint64_t>();
}

}  // namespace

// What the adapter, its taps and its monitors share: the local entries with the ids simdesk
// gave them on the connection they were made over.
struct SimEventTaps::Registry {
  struct Installed {
    std::uint64_t remote = 0;      // 0: not installed
    std::uint64_t generation = 0;  // the connection's, when it was installed
  };
  struct TapEntry {
    EventMask mask = 0;
    TapCallback callback;
    bool wantsEnabled = false;
    Installed installed;
  };
  struct MonitorEntry {
    EventMask mask = 0;
    MonitorCallback callback;
    Installed installed;
  };

  explicit Registry(protocol::Connection& link) : connection(link) {}

  protocol::Connection& connection;
  std::map<int, TapEntry> taps;
  std::map<int, MonitorEntry> monitors;
  int nextLocal = 1;
  bool reviving = false;

  bool current(const Installed& installed) const {
    return installed.remote != 0 && installed.generation == connection.generation();
  }

  Installed install(std::string_view type, const char* idKey, EventMask mask) {
    auto reply = connection.request(type, {{"mask", mask}}, Effect::mayChange);
    if (!reply.ok()) return {};
    const auto remote = unsignedField(reply.value(), idKey);
    if (!remote) return {};
    return {*remote, connection.generation()};
  }

  bool setEnabled(TapEntry& tap, bool enabled) {
    return connection
        .request(requests::eventTapEnable, {{"tap", tap.installed.remote}, {"enabled", enabled}},
                 Effect::mayChange)
        .ok();
  }

  // A request, after which whatever a reconnection lost is installed again.
  Result<json> ask(std::string_view type, json fields, Effect effect) {
    Result<json> reply = connection.request(type, std::move(fields), effect);
    revive();
    return reply;
  }

  // Installs again what simdesk does not have on this connection (it restarted, or it was
  // not there when the monitor was added).
  void revive() {
    if (reviving) return;
    reviving = true;
    for (auto& [local, tap] : taps) {
      if (current(tap.installed)) continue;
      tap.installed = install(requests::eventTapCreate, "tap", tap.mask);
      if (tap.installed.remote != 0 && tap.wantsEnabled) setEnabled(tap, true);
    }
    for (auto& [local, monitor] : monitors) {
      if (current(monitor.installed)) continue;
      monitor.installed = install(requests::eventMonitorAdd, "monitor", monitor.mask);
    }
    reviving = false;
  }

  void tapEvent(const json& pushed) {
    const auto remote = unsignedField(pushed, "tap");
    const auto sequence = unsignedField(pushed, "sequence");
    const auto found = pushed.find("input");
    if (!remote || !sequence || found == pushed.end()) return;
    const auto event = protocol::decodeEvent(*found);
    if (!event) return;
    for (auto& [local, tap] : taps) {
      if (tap.installed.remote != *remote || !current(tap.installed)) continue;
      // The callback may remove its own tap; the copy stays valid.
      const TapCallback callback = tap.callback;
      const TapVerdict verdict = callback(*event);
      if (*sequence == 0) return;  // a notice: nothing to answer
      (void)connection.notify(
          requests::eventTapVerdict,
          {{"tap", *remote}, {"sequence", *sequence}, {"verdict", protocol::verdictName(verdict)}},
          Effect::mayChange);
      return;
    }
  }

  void monitorEvent(const json& pushed) {
    const auto remote = unsignedField(pushed, "monitor");
    const auto found = pushed.find("input");
    if (!remote || found == pushed.end()) return;
    const auto event = protocol::decodeEvent(*found);
    if (!event) return;
    for (auto& [local, monitor] : monitors) {
      if (monitor.installed.remote != *remote || !current(monitor.installed)) continue;
      const MonitorCallback callback = monitor.callback;
      callback(*event);
      return;
    }
  }
};

class SimEventTaps::Tap final : public EventTap {
 public:
  Tap(std::shared_ptr<Registry> registry, int local)
      : registry_(std::move(registry)), local_(local) {}
  ~Tap() override {
    const auto found = registry_->taps.find(local_);
    if (found == registry_->taps.end()) return;
    if (registry_->current(found->second.installed)) {
      (void)registry_->connection.request(
          requests::eventTapRemove, {{"tap", found->second.installed.remote}}, Effect::mayChange);
    }
    registry_->taps.erase(local_);
  }

  void enable() override {
    registry_->revive();
    Registry::TapEntry& tap = registry_->taps.at(local_);
    tap.wantsEnabled = true;
    if (tap.installed.remote != 0) registry_->setEnabled(tap, true);
    registry_->revive();
  }

  bool isEnabled() const override {
    registry_->revive();
    const Registry::TapEntry& tap = registry_->taps.at(local_);
    if (!registry_->current(tap.installed)) return false;
    auto reply = registry_->connection.request(requests::eventTapState,
                                               {{"tap", tap.installed.remote}}, Effect::readsOnly);
    if (!reply.ok()) return false;
    const auto enabled = reply.value().find("enabled");
    return enabled != reply.value().end() && enabled->is_boolean() && enabled->get<bool>();
  }

 private:
  std::shared_ptr<Registry> registry_;
  int local_;
};

class SimEventTaps::Monitor final : public Observation {
 public:
  Monitor(std::shared_ptr<Registry> registry, int local)
      : registry_(std::move(registry)), local_(local) {}
  ~Monitor() override {
    const auto found = registry_->monitors.find(local_);
    if (found == registry_->monitors.end()) return;
    if (registry_->current(found->second.installed)) {
      (void)registry_->connection.request(requests::eventMonitorRemove,
                                          {{"monitor", found->second.installed.remote}},
                                          Effect::mayChange);
    }
    registry_->monitors.erase(local_);
  }

 private:
  std::shared_ptr<Registry> registry_;
  int local_;
};

SimEventTaps::SimEventTaps(protocol::Connection& connection)
    : registry_(std::make_shared<Registry>(connection)) {
  // The listeners hold the registry weakly: they may outlive the adapter on the connection.
  std::weak_ptr<Registry> weak = registry_;
  tapListener_ = connection.listen(protocol::events::eventTapEvent, [weak](const json& pushed) {
    if (auto registry = weak.lock()) registry->tapEvent(pushed);
  });
  monitorListener_ =
      connection.listen(protocol::events::eventMonitorEvent, [weak](const json& pushed) {
        if (auto registry = weak.lock()) registry->monitorEvent(pushed);
      });
}

SimEventTaps::~SimEventTaps() {
  registry_->connection.unlisten(tapListener_);
  registry_->connection.unlisten(monitorListener_);
}

std::unique_ptr<EventTap> SimEventTaps::createSessionTap(EventMask mask, TapCallback callback) {
  registry_->revive();
  Registry::TapEntry entry;
  entry.mask = mask;
  entry.callback = std::move(callback);
  entry.installed = registry_->install(requests::eventTapCreate, "tap", mask);
  if (entry.installed.remote == 0) return nullptr;
  const int local = registry_->nextLocal++;
  registry_->taps.emplace(local, std::move(entry));
  registry_->revive();
  return std::make_unique<Tap>(registry_, local);
}

bool SimEventTaps::post(const Event& event, PostLocation location) {
  registry_->revive();
  return registry_
      ->ask(requests::eventsPost,
            {{"event", protocol::encodeEvent(event)},
             {"location", location == PostLocation::hidSystem ? "hidSystem" : "session"}},
            Effect::mayChange)
      .ok();
}

bool SimEventTaps::isButtonDown(MouseButton button) {
  registry_->revive();
  auto reply = registry_->ask(requests::pointerGet, json::object(), Effect::readsOnly);
  if (!reply.ok()) return false;
  const auto state = reply.value().find(button == MouseButton::left ? "left" : "right");
  return state != reply.value().end() && state->is_boolean() && state->get<bool>();
}

std::optional<Point> SimEventTaps::pointerLocation() {
  registry_->revive();
  auto reply = registry_->ask(requests::pointerGet, json::object(), Effect::readsOnly);
  if (!reply.ok()) return std::nullopt;
  const auto location = reply.value().find("location");
  if (location == reply.value().end()) return std::nullopt;
  return protocol::decodePoint(*location);
}

bool SimEventTaps::warpPointer(Point location) {
  registry_->revive();
  return registry_
      ->ask(requests::pointerWarp, {{"x", location.x}, {"y", location.y}}, Effect::mayChange)
      .ok();
}

std::unique_ptr<Observation> SimEventTaps::addGlobalMonitor(EventMask mask,
                                                            MonitorCallback callback) {
  registry_->revive();
  Registry::MonitorEntry entry;
  entry.mask = mask;
  entry.callback = std::move(callback);
  entry.installed = registry_->install(requests::eventMonitorAdd, "monitor", mask);
  const int local = registry_->nextLocal++;
  registry_->monitors.emplace(local, std::move(entry));
  registry_->revive();
  return std::make_unique<Monitor>(registry_, local);
}

}  // namespace deskplay::platform
