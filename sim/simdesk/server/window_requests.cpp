#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
using nlohmann::json;

Result<std::uint32_t> ownWindow(SimulatedDesktop& desktop, const Client& client,
                                const RequestFields& request) {
  auto number = request.integer("window");
  if (!number.ok()) return number.error();
  if (number.value() <= 0 || number.value() > UINT32_MAX) return Error{"no such window"};
  const auto windowNumber = static_cast<std::uint32_t>(number.value());
  const SimWindow* window = desktop.windowServer().window(windowNumber);
  if (window == nullptr || window->owner != client.pid) return Error{"no such window"};
  return windowNumber;
}

namespace {

Result<json> answer(Status status) {
  if (!status.ok()) return status.error();
  return json::object();
}

// A window request that needs only the window's number.
void addSimple(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, std::string_view type,
               Status (WindowServer::*operation)(std::uint32_t)) {
  dispatcher.add(
      type, [&desktop, operation](Client& client, const RequestFields& request) -> Result<json> {
        auto number = ownWindow(desktop, client, request);
        if (!number.ok()) return number.error();
        return answer((desktop.windowServer().*operation)(number.value()));
      });
}

Result<json> createWindow(SimulatedDesktop& desktop, const Client& client,
                          const RequestFields& request) {
  auto kind = request.text("kind");
  if (!kind.ok()) return kind.error();
  auto rectField = request.raw("contentRect");
  if (!rectField.ok()) return rectField.error();
  auto styleMask = request.integer("styleMask");
  if (!styleMask.ok()) return styleMask.error();
  const auto rect = protocol::decodeRect(rectField.value());
  if (!rect) return Error{"\"contentRect\" must be a rectangle"};
  if (kind.value() != "window" && kind.value() != "panel" && kind.value() != "statusPanel" &&
      kind.value() != "content") {
    return Error{"\"kind\" must be window, panel, statusPanel or content"};
  }
  platform::WindowSpec spec;
  spec.contentRect = *rect;
  spec.styleMask = static_cast<std::uint64_t>(styleMask.value());
  spec.kind = kind.value() == "window" ? platform::WindowSpec::Kind::window
                                       : platform::WindowSpec::Kind::panel;
  const WindowRole role = kind.value() == "statusPanel" ? WindowRole::statusPanel
                          : kind.value() == "content"   ? WindowRole::content
                                                        : WindowRole::window;
  return json{{"window", desktop.windowServer().createWindow(client.pid, spec, role)}};
}

}  // namespace

void addWindowRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop) {
  dispatcher.add(requests::windowCreate, [&desktop](Client& client, const RequestFields& request) {
    return createWindow(desktop, client, request);
  });
  dispatcher.add(requests::windowConfigure,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   auto traits = request.raw("traits");
                   if (!traits.ok()) return traits.error();
                   const auto decoded = protocol::decodeTraits(traits.value());
                   if (!decoded) return Error{"\"traits\" must be window traits"};
                   return answer(desktop.windowServer().configure(number.value(), *decoded));
                 });
  dispatcher.add(requests::windowSetFrame,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   auto frame = request.raw("frame");
                   if (!frame.ok()) return frame.error();
                   const auto decoded = protocol::decodeRect(frame.value());
                   if (!decoded) return Error{"\"frame\" must be a rectangle"};
                   return answer(desktop.windowServer().setFrame(number.value(), *decoded));
                 });
  dispatcher.add(requests::windowSetContent,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   auto content = request.raw("content");
                   if (!content.ok()) return content.error();
                   const auto decoded = protocol::decodeContent(content.value());
                   if (!decoded) return Error{"\"content\" must be a status panel's content"};
                   return answer(desktop.windowServer().setStatusContent(number.value(), *decoded));
                 });
  addSimple(dispatcher, desktop, requests::windowOrderFront, &WindowServer::orderFront);
  addSimple(dispatcher, desktop, requests::windowOrderOut, &WindowServer::orderOut);
  addSimple(dispatcher, desktop, requests::windowClose, &WindowServer::close);
  // Drawing happens at every change here; display only has to find the window.
  dispatcher.add(requests::windowDisplay,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   return json::object();
                 });
  dispatcher.add(requests::windowsOnScreen,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   json list = json::array();
                   for (const auto& info : desktop.windowServer().onScreenWindowList()) {
                     list.push_back(protocol::encodeWindowInfo(info));
                   }
                   return json{{"windows", std::move(list)}};
                 });
}

}  // namespace deskplay::simdesk::server
