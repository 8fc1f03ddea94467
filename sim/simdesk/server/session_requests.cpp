#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/window_wire.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
namespace events = protocol::events;
using nlohmann::json;

namespace {

std::string_view buttonName(platform::PointerButton button) {
  return button == platform::PointerButton::right ? "right" : "left";
}

Result<json> runOpenPanel(SimulatedDesktop& desktop, const Client& client,
                          const RequestFields& request) {
  auto start = request.text("startingFolder");
  if (!start.ok()) return start.error();
  auto prompt = request.text("prompt");
  if (!prompt.ok()) return prompt.error();
  auto canCreate = request.flag("canCreateFolders");
  if (!canCreate.ok()) return canCreate.error();
  platform::FolderChoice choice;
  choice.startingFolder = start.value();
  choice.prompt = prompt.value();
  choice.folderCreation = canCreate.value() ? platform::FolderChoice::Creation::allowed
                                            : platform::FolderChoice::Creation::refused;
  return json{{"panel", desktop.openPanels().run(client.pid, std::move(choice))}};
}

Result<json> answerOpenPanel(SimulatedDesktop& desktop, const RequestFields& request) {
  auto answer = request.text("answer");
  if (!answer.ok()) return answer.error();
  Status status = Status::success();
  if (answer.value() == "cancel") {
    status = desktop.openPanels().cancel();
  } else if (answer.value() == "choose") {
    auto path = request.text("path");
    if (!path.ok()) return path.error();
    status = desktop.openPanels().choose(path.value());
  } else {
    return Error{"\"answer\" must be choose or cancel"};
  }
  if (!status.ok()) return status.error();
  return json::object();
}

}  // namespace

void addSessionRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, ProcessPush push,
                        BroadcastPush broadcast) {
  ApplicationInput::Sinks sinks;
  sinks.statusItemPressed = [push](const StatusItem& item, const StatusItemPress& press) {
    push(item.owner, events::statusItemMouseDown,
         {{"item", item.id},
          {"press", press.press},
          {"button", buttonName(press.click.button)},
          {"flags", press.click.flags},
          {"x", press.click.location.x},
          {"y", press.click.location.y}});
  };
  sinks.windowInput = [push](const SimWindow& window, const platform::WindowInput& input) {
    push(window.owner, events::windowInput,
         {{"window", window.number}, {"input", protocol::encodeWindowInput(input)}});
  };
  sinks.openPanelClicked = [&desktop](const SimWindow&, platform::Point location) {
    desktop.openPanels().click(location);
  };
  desktop.applicationInput().setSinks(std::move(sinks));

  desktop.notifications().addListener([broadcast](const PostedNotification& notification) {
    broadcast(events::notificationPosted, {{"name", notification.name},
                                           {"pid", notification.sender},
                                           {"app", notification.application}});
  });
  desktop.openPanels().addAnswerListener(
      [push](const OpenPanel& panel, const std::optional<std::filesystem::path>& folder) {
        push(panel.owner, events::openPanelAnswered,
             {{"panel", panel.id}, {"path", folder ? json(folder->string()) : json(nullptr)}});
      });

  dispatcher.add(requests::notificationPost,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto name = request.text("name");
                   if (!name.ok()) return name.error();
                   if (name.value().empty()) return Error{"\"name\" must not be empty"};
                   desktop.notifications().post({name.value(), client.pid, client.application});
                   return json::object();
                 });
  dispatcher.add(requests::notificationsLog,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   json list = json::array();
                   for (const PostedNotification& notification : desktop.notifications().log()) {
                     list.push_back({{"name", notification.name},
                                     {"pid", notification.sender},
                                     {"app", notification.application}});
                   }
                   return json{{"notifications", std::move(list)}};
                 });
  dispatcher.add(requests::openPanelRun, [&desktop](Client& client, const RequestFields& request) {
    return runOpenPanel(desktop, client, request);
  });
  dispatcher.add(requests::openPanelAnswer, [&desktop](Client&, const RequestFields& request) {
    return answerOpenPanel(desktop, request);
  });
}

}  // namespace deskplay::simdesk::server
