#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/window_wire.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
namespace events = protocol::events;
using nlohmann::json;

namespace {

// The item of the request, when the client's process owns it.
Result<std::uint64_t> ownItem(SimulatedDesktop& desktop, const Client& client,
                              const RequestFields& request) {
  auto id = request.integer("item");
  if (!id.ok()) return id.error();
  const StatusItem* item =
      id.value() > 0 ? desktop.statusBar().item(static_cast<std::uint64_t>(id.value())) : nullptr;
  if (item == nullptr || item->owner != client.pid) return Error{"no such status item"};
  return item->id;
}

Result<platform::StatusItemAppearance> appearanceOf(const RequestFields& request) {
  auto field = request.raw("appearance");
  if (!field.ok()) return field.error();
  auto appearance = protocol::decodeAppearance(field.value());
  if (!appearance) return Error{"\"appearance\" must be a status item's appearance"};
  return std::move(*appearance);
}

Result<json> answer(Status status) {
  if (!status.ok()) return status.error();
  return json::object();
}

json itemJson(SimulatedDesktop& desktop, const StatusItem& item) {
  const Application* owner = desktop.applications().byPid(item.owner);
  return {{"item", item.id},
          {"pid", item.owner},
          {"owner", owner != nullptr ? owner->name : std::string()},
          {"title", item.look.title},
          {"accessibilityTitle", item.look.accessibilityTitle},
          {"hasImage", item.look.image.has_value()},
          {"inserted", true},
          {"highlighted", item.highlighted},
          {"frame", protocol::encodeRect(item.frame)}};
}

}  // namespace

void addStatusItemRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                           ProcessPush push) {
  desktop.statusBar().addDraggedOutListener([push](const StatusItem& item) {
    push(item.owner, events::statusItemRemoved, {{"item", item.id}});
  });

  dispatcher.add(requests::statusItemCreate,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto appearance = appearanceOf(request);
                   if (!appearance.ok()) return appearance.error();
                   return json{{"item", desktop.statusBar().create(client.pid,
                                                                   std::move(appearance.value()))}};
                 });
  dispatcher.add(
      requests::statusItemUpdate,
      [&desktop](Client& client, const RequestFields& request) -> Result<json> {
        auto item = ownItem(desktop, client, request);
        if (!item.ok()) return item.error();
        auto appearance = appearanceOf(request);
        if (!appearance.ok()) return appearance.error();
        return answer(desktop.statusBar().update(item.value(), std::move(appearance.value())));
      });
  dispatcher.add(requests::statusItemRemove,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto item = ownItem(desktop, client, request);
                   if (!item.ok()) return item.error();
                   return answer(desktop.statusBar().remove(item.value()));
                 });
  dispatcher.add(
      requests::statusItemHighlight,
      [&desktop](Client& client, const RequestFields& request) -> Result<json> {
        auto item = ownItem(desktop, client, request);
        if (!item.ok()) return item.error();
        auto highlighted = request.flag("highlighted");
        if (!highlighted.ok()) return highlighted.error();
        return answer(desktop.statusBar().setHighlighted(item.value(), highlighted.value()));
      });
  dispatcher.add(requests::statusItemGet,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto id = request.integer("item");
                   if (!id.ok()) return id.error();
                   const StatusItem* item =
                       id.value() > 0
                           ? desktop.statusBar().item(static_cast<std::uint64_t>(id.value()))
                           : nullptr;
                   // An item that is gone reads as no longer inserted.
                   if (item == nullptr) return json{{"inserted", false}};
                   if (item->owner != client.pid) return Error{"no such status item"};
                   json reply{{"inserted", true}};
                   if (item->frame.size.width > 0) {
                     reply["buttonWindowFrame"] =
                         protocol::encodeRect(desktop.screens().toBottomLeft(item->frame));
                   }
                   return reply;
                 });
  dispatcher.add(requests::statusItemVerdict,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto item = ownItem(desktop, client, request);
                   if (!item.ok()) return item.error();
                   auto press = request.integer("press");
                   if (!press.ok()) return press.error();
                   auto verdict = request.text("verdict");
                   if (!verdict.ok()) return verdict.error();
                   if (verdict.value() != "take" && verdict.value() != "pass") {
                     return Error{"\"verdict\" must be take or pass"};
                   }
                   desktop.applicationInput().answerPress(static_cast<std::uint64_t>(press.value()),
                                                          verdict.value() == "pass"
                                                              ? platform::ClickVerdict::pass
                                                              : platform::ClickVerdict::take);
                   return json::object();
                 });
  dispatcher.add(requests::statusItemsList,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   json items = json::array();
                   for (const StatusItem* item : desktop.statusBar().items()) {
                     items.push_back(itemJson(desktop, *item));
                   }
                   return json{{"items", std::move(items)}};
                 });
}

}  // namespace deskplay::simdesk::server
