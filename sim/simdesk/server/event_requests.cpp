#include <cmath>
#include <memory>

#include "sim/simdesk/protocol/event_wire.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
namespace events = protocol::events;
using nlohmann::json;

namespace {

std::string_view stageName(DeliveryRecord::Stage stage) {
  switch (stage) {
    case DeliveryRecord::Stage::tap:
      return "tap";
    case DeliveryRecord::Stage::monitor:
      return "monitor";
    case DeliveryRecord::Stage::application:
      return "application";
  }
  return "application";
}

std::string_view actionName(TapAction action) {
  switch (action) {
    case TapAction::passed:
      return "passed";
    case TapAction::swallowed:
      return "swallowed";
    case TapAction::timedOut:
      return "timedOut";
  }
  return "passed";
}

json recordJson(const DeliveryRecord& record) {
  json entry = {{"sequence", record.sequence},
                {"stage", stageName(record.stage)},
                {"origin", record.origin == EventOrigin::posted ? "posted" : "hardware"},
                {"pid", record.pid},
                {"app", record.application},
                {"event", protocol::encodeEvent(record.event)}};
  if (record.stage != DeliveryRecord::Stage::application) entry["id"] = record.id;
  if (record.stage == DeliveryRecord::Stage::tap) entry["action"] = actionName(record.action);
  return entry;
}

Result<platform::Event> eventOf(const RequestFields& request) {
  auto raw = request.raw("event");
  if (!raw.ok()) return raw.error();
  auto event = protocol::decodeEvent(raw.value());
  if (!event) return Error{"\"event\" must be an input event"};
  if (event->type == platform::EventType::tapDisabledByTimeout ||
      event->type == platform::EventType::tapDisabledByUserInput) {
    return Error{"\"event\" must be an input event"};
  }
  return *event;
}

Result<platform::EventMask> maskOf(const RequestFields& request) {
  auto raw = request.raw("mask");
  if (!raw.ok()) return raw.error();
  if (!raw.value().is_number_unsigned()) return Error{"\"mask\" must be an event mask"};
  return raw.value().get<platform::EventMask>();
}

Result<std::uint64_t> idOf(const RequestFields& request, std::string_view key) {
  auto raw = request.raw(key);
  if (!raw.ok()) return raw.error();
  if (!raw.value().is_number_unsigned()) {
    return Error{"\"" + std::string(key) + "\" must be a number"};
  }
  return raw.value().get<std::uint64_t>();
}

EventPipeline::Owner ownerOf(const Client& client) {
  return {client.pid, client.connection};
}

// Taps and monitors belong to their connection: nobody else may change them.
bool owns(const EventPipeline& pipeline, std::uint64_t tapOrMonitor, const Client& client) {
  return pipeline.clientOf(tapOrMonitor) == client.connection;
}

}  // namespace

void addEventRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, ClientPush push) {
  EventPipeline& pipeline = desktop.events();

  dispatcher.add(requests::eventsInject,
                 [&pipeline](Client&, const RequestFields& request) -> Result<json> {
                   auto event = eventOf(request);
                   if (!event.ok()) return event.error();
                   return json{{"sequence", pipeline.inject(event.value())}};
                 });
  dispatcher.add(requests::eventsPost,
                 [&pipeline](Client&, const RequestFields& request) -> Result<json> {
                   auto event = eventOf(request);
                   if (!event.ok()) return event.error();
                   if (request.has("location")) {
                     auto location = request.text("location");
                     if (!location.ok() ||
                         (location.value() != "hidSystem" && location.value() != "session")) {
                       return Error{"\"location\" must be hidSystem or session"};
                     }
                   }
                   return json{{"sequence", pipeline.post(event.value())}};
                 });
  dispatcher.add(requests::eventsLog, [&pipeline](Client&, const RequestFields&) -> Result<json> {
    json records = json::array();
    for (const DeliveryRecord& record : pipeline.log()) records.push_back(recordJson(record));
    return json{{"records", std::move(records)}};
  });

  dispatcher.add(requests::pointerGet, [&pipeline](Client&, const RequestFields&) -> Result<json> {
    using Button = platform::EventTaps::MouseButton;
    return json{{"location", protocol::encodePoint(pipeline.pointer())},
                {"left", pipeline.isButtonDown(Button::left)},
                {"right", pipeline.isButtonDown(Button::right)}};
  });
  dispatcher.add(requests::pointerWarp,
                 [&pipeline](Client&, const RequestFields& request) -> Result<json> {
                   auto x = request.number("x");
                   if (!x.ok()) return x.error();
                   auto y = request.number("y");
                   if (!y.ok()) return y.error();
                   if (!std::isfinite(x.value()) || !std::isfinite(y.value())) {
                     return Error{"the point must be finite"};
                   }
                   pipeline.warpPointer({x.value(), y.value()});
                   return json::object();
                 });

  dispatcher.add(
      requests::eventTapCreate,
      [&pipeline, push](Client& client, const RequestFields& request) -> Result<json> {
        auto mask = maskOf(request);
        if (!mask.ok()) return mask.error();
        const std::uint64_t connection = client.connection;
        // The id is known only once the tap exists; the delivery reads it from here.
        auto tapId = std::make_shared<std::uint64_t>(0);
        auto tap = pipeline.createTap(
            ownerOf(client), mask.value(),
            [push, connection, tapId](std::uint64_t sequence, const platform::Event& event) {
              push(connection, events::eventTapEvent,
                   {{"tap", *tapId},
                    {"sequence", sequence},
                    {"input", protocol::encodeEvent(event)}});
            });
        if (!tap) return json{{"tap", nullptr}};
        *tapId = *tap;
        return json{{"tap", *tap}};
      });
  dispatcher.add(requests::eventTapEnable,
                 [&pipeline](Client& client, const RequestFields& request) -> Result<json> {
                   auto tap = idOf(request, "tap");
                   if (!tap.ok()) return tap.error();
                   auto enabled = request.flag("enabled");
                   if (!enabled.ok()) return enabled.error();
                   if (!owns(pipeline, tap.value(), client) ||
                       !pipeline.setTapEnabled(tap.value(), enabled.value())) {
                     return Error{"no such event tap"};
                   }
                   return json::object();
                 });
  dispatcher.add(requests::eventTapState,
                 [&pipeline](Client& client, const RequestFields& request) -> Result<json> {
                   auto tap = idOf(request, "tap");
                   if (!tap.ok()) return tap.error();
                   const auto enabled = pipeline.isTapEnabled(tap.value());
                   if (!owns(pipeline, tap.value(), client) || !enabled)
                     return Error{"no such event tap"};
                   return json{{"enabled", *enabled}};
                 });
  dispatcher.add(requests::eventTapVerdict,
                 [&pipeline](Client& client, const RequestFields& request) -> Result<json> {
                   auto tap = idOf(request, "tap");
                   if (!tap.ok()) return tap.error();
                   auto sequence = idOf(request, "sequence");
                   if (!sequence.ok()) return sequence.error();
                   auto name = request.text("verdict");
                   if (!name.ok()) return name.error();
                   const auto verdict = protocol::verdictNamed(name.value());
                   if (!verdict) return Error{"\"verdict\" must be pass or swallow"};
                   if (!owns(pipeline, tap.value(), client)) return Error{"no such event tap"};
                   pipeline.answer(tap.value(), sequence.value(), *verdict);
                   return json::object();
                 });
  dispatcher.add(requests::eventTapRemove,
                 [&pipeline](Client& client, const RequestFields& request) -> Result<json> {
                   auto tap = idOf(request, "tap");
                   if (!tap.ok()) return tap.error();
                   if (!owns(pipeline, tap.value(), client)) return Error{"no such event tap"};
                   pipeline.removeTap(tap.value());
                   return json::object();
                 });

  dispatcher.add(requests::eventMonitorAdd,
                 [&pipeline, push](Client& client, const RequestFields& request) -> Result<json> {
                   auto mask = maskOf(request);
                   if (!mask.ok()) return mask.error();
                   const std::uint64_t connection = client.connection;
                   auto monitorId = std::make_shared<std::uint64_t>(0);
                   *monitorId = pipeline.addMonitor(
                       ownerOf(client), mask.value(),
                       [push, connection, monitorId](const platform::Event& event) {
                         push(connection, events::eventMonitorEvent,
                              {{"monitor", *monitorId}, {"input", protocol::encodeEvent(event)}});
                       });
                   return json{{"monitor", *monitorId}};
                 });
  dispatcher.add(requests::eventMonitorRemove,
                 [&pipeline](Client& client, const RequestFields& request) -> Result<json> {
                   auto monitor = idOf(request, "monitor");
                   if (!monitor.ok()) return monitor.error();
                   if (!owns(pipeline, monitor.value(), client))
                     return Error{"no such event monitor"};
                   pipeline.removeMonitor(monitor.value());
                   return json::object();
                 });
}

}  // namespace deskplay::simdesk::server
