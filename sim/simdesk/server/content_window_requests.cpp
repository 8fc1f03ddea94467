#include <map>
#include <memory>

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/shared_pixels.hpp"
#include "sim/simdesk/protocol/window_wire.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
namespace events = protocol::events;
using nlohmann::json;

namespace {

Result<json> answer(Status status) {
  if (!status.ok()) return status.error();
  return json::object();
}

// The buffers content windows share with their applications; one goes with its window.
using Buffers = std::map<std::uint32_t, protocol::SharedPixels>;

Result<int> dimension(const RequestFields& request, std::string_view key) {
  auto value = request.integer(key);
  if (!value.ok()) return value.error();
  if (value.value() <= 0 || value.value() > protocol::SharedPixels::kMaxSide) {
    return Error{"\"" + std::string(key) + "\" must be a size in pixels"};
  }
  return static_cast<int>(value.value());
}

Result<json> attachBuffer(SimulatedDesktop& desktop, Buffers& buffers, Client& client,
                          const RequestFields& request) {
  // The descriptor came with this line; it is this request's whatever the outcome.
  UniqueFd descriptor;
  if (!client.descriptors.empty()) {
    descriptor = std::move(client.descriptors.front());
    client.descriptors.pop_front();
  }
  auto number = ownWindow(desktop, client, request);
  if (!number.ok()) return number.error();
  auto width = dimension(request, "width");
  if (!width.ok()) return width.error();
  auto height = dimension(request, "height");
  if (!height.ok()) return height.error();
  auto stride = request.integer("stride");
  if (!stride.ok()) return stride.error();
  if (stride.value() <= 0) return Error{"\"stride\" must be a number of bytes"};
  auto mapped = protocol::SharedPixels::map(std::move(descriptor), width.value(), height.value(),
                                            static_cast<std::size_t>(stride.value()));
  if (!mapped.ok()) return mapped.error();
  auto surface =
      desktop.windowServer().resizeSurface(number.value(), width.value(), height.value());
  if (!surface.ok()) return surface.error();
  buffers[number.value()] = std::move(mapped.value());
  return json::object();
}

Result<json> commit(SimulatedDesktop& desktop, Buffers& buffers, Client& client,
                    const RequestFields& request) {
  auto number = ownWindow(desktop, client, request);
  if (!number.ok()) return number.error();
  auto damageField = request.raw("damage");
  if (!damageField.ok()) return damageField.error();
  if (!damageField.value().is_array()) return Error{"\"damage\" must be a list of rectangles"};
  std::vector<platform::PixelRect> damage;
  for (const json& entry : damageField.value()) {
    auto rect = protocol::decodePixelRect(entry);
    if (!rect) return Error{"\"damage\" must be a list of rectangles"};
    damage.push_back(*rect);
  }
  const auto buffer = buffers.find(number.value());
  if (buffer == buffers.end()) return Error{"the window has no buffer"};
  const protocol::SharedPixels& pixels = buffer->second;
  auto surface =
      desktop.windowServer().resizeSurface(number.value(), pixels.width(), pixels.height());
  if (!surface.ok()) return surface.error();
  const platform::PixelRect copied =
      surface.value()->commit(pixels.data(), pixels.stride(), damage);
  if (copied.width > 0) desktop.windowServer().contentChanged(number.value());
  return json::object();
}

Result<json> setAccessibility(SimulatedDesktop& desktop, Client& client,
                              const RequestFields& request) {
  auto number = ownWindow(desktop, client, request);
  if (!number.ok()) return number.error();
  auto tree = request.raw("tree");
  if (!tree.ok()) return tree.error();
  if (!tree.value().is_array()) return Error{"\"tree\" must be a list of elements"};
  std::vector<platform::AccessibleNode> roots;
  for (const json& entry : tree.value()) {
    auto node = protocol::decodeAccessibleNode(entry);
    if (!node) return Error{"\"tree\" must be a list of elements"};
    roots.push_back(std::move(*node));
  }
  return answer(desktop.windowServer().setAccessibility(number.value(), std::move(roots)));
}

json windowsList(SimulatedDesktop& desktop) {
  json list = json::array();
  WindowServer& server = desktop.windowServer();
  for (const SimWindow* window : server.onScreenOrder()) {
    const Application* owner = desktop.applications().byPid(window->owner);
    list.push_back({{"number", window->number},
                    {"pid", window->owner},
                    {"owner", owner != nullptr ? owner->name : std::string()},
                    {"title", window->title},
                    {"role", windowRoleName(window->role)},
                    {"level", window->traits.level},
                    {"alpha", window->alpha},
                    {"key", server.keyWindow() == window->number},
                    {"bounds", protocol::encodeRect(desktop.screens().toTopLeft(window->frame))}});
  }
  return list;
}

}  // namespace

void addContentWindowRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                              ProcessPush push) {
  auto buffers = std::make_shared<Buffers>();
  WindowServer& server = desktop.windowServer();
  server.addChangeListener([&server, buffers](std::uint32_t number) {
    if (server.window(number) == nullptr) buffers->erase(number);
  });
  server.addKeyListener([push](const SimWindow& window, platform::KeyState state) {
    push(window.owner, events::windowKey,
         {{"window", window.number}, {"key", state == platform::KeyState::became}});
  });

  dispatcher.add(requests::windowAttachBuffer,
                 [&desktop, buffers](Client& client, const RequestFields& request) {
                   return attachBuffer(desktop, *buffers, client, request);
                 });
  dispatcher.add(requests::windowCommit,
                 [&desktop, buffers](Client& client, const RequestFields& request) {
                   return commit(desktop, *buffers, client, request);
                 });
  dispatcher.add(requests::windowSetAlpha,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   auto alpha = request.number("alpha");
                   if (!alpha.ok()) return alpha.error();
                   if (!(alpha.value() >= 0 && alpha.value() <= 1)) {
                     return Error{"\"alpha\" must be between 0 and 1"};
                   }
                   return answer(desktop.windowServer().setAlpha(number.value(), alpha.value()));
                 });
  dispatcher.add(requests::windowSetTitle,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   auto title = request.text("title");
                   if (!title.ok()) return title.error();
                   return answer(desktop.windowServer().setTitle(number.value(), title.value()));
                 });
  dispatcher.add(requests::windowMakeKey,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   return answer(desktop.windowServer().makeKey(number.value()));
                 });
  dispatcher.add(requests::windowResignKey,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto number = ownWindow(desktop, client, request);
                   if (!number.ok()) return number.error();
                   return answer(desktop.windowServer().resignKey(number.value()));
                 });
  dispatcher.add(requests::windowSetAccessibility,
                 [&desktop](Client& client, const RequestFields& request) {
                   return setAccessibility(desktop, client, request);
                 });
  dispatcher.add(requests::windowsList, [&desktop](Client&, const RequestFields&) -> Result<json> {
    return json{{"windows", windowsList(desktop)}};
  });
}

}  // namespace deskplay::simdesk::server
