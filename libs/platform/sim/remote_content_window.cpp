#include "platform/sim/remote_content_window.hpp"

#include <algorithm>
#include <cstring>

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/window_wire.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
namespace events = simdesk::protocol::events;
namespace protocol = simdesk::protocol;
using protocol::Effect;

namespace {

nlohmann::json encodedTree(const std::vector<AccessibleNode>& roots) {
  nlohmann::json tree = nlohmann::json::array();
  for (const AccessibleNode& root : roots) tree.push_back(protocol::encodeAccessibleNode(root));
  return tree;
}

}  // namespace

RemoteContentWindow::RemoteContentWindow(protocol::Connection& connection, const WindowSpec& spec)
    : RemoteWindow(connection, spec, Kind::content) {
  inputListener_ = connection.listen(events::windowInput,
                                     [this](const nlohmann::json& event) { received(event); });
  keyListener_ = connection.listen(events::windowKey,
                                   [this](const nlohmann::json& event) { keyChanged(event); });
}

RemoteContentWindow::~RemoteContentWindow() {
  connection().unlisten(inputListener_);
  connection().unlisten(keyListener_);
}

void RemoteContentWindow::setTitle(const std::string& title) {
  title_ = title;
  change(requests::windowSetTitle, {{"title", title}});
}

void RemoteContentWindow::setAlpha(double alpha) {
  alpha_ = std::clamp(alpha, 0.0, 1.0);
  change(requests::windowSetAlpha, {{"alpha", alpha_}});
}

void RemoteContentWindow::setAccessibilityTree(const std::vector<AccessibleNode>& roots) {
  accessibility_ = roots;
  change(requests::windowSetAccessibility, {{"tree", encodedTree(roots)}});
}

void RemoteContentWindow::makeKeyAndOrderFront() {
  RemoteWindow::orderFrontRegardless();
  if (isCurrent()) send(requests::windowMakeKey, nlohmann::json::object());
}

void RemoteContentWindow::resignKey() {
  if (isCurrent()) send(requests::windowResignKey, nlohmann::json::object());
}

bool RemoteContentWindow::attachBuffer() {
  if (attached_) return true;
  if (!isCurrent() || !buffer_.valid()) return false;
  auto reply = connection().requestWithDescriptor(requests::windowAttachBuffer,
                                                  {{"window", number()},
                                                   {"width", buffer_.width()},
                                                   {"height", buffer_.height()},
                                                   {"stride", buffer_.stride()}},
                                                  buffer_.descriptor(), Effect::mayChange);
  attached_ = reply.ok();
  return attached_;
}

bool RemoteContentWindow::commit(const std::vector<PixelRect>& damage) {
  nlohmann::json rects = nlohmann::json::array();
  for (const PixelRect& rect : damage) rects.push_back(protocol::encodePixelRect(rect));
  return send(requests::windowCommit, {{"damage", std::move(rects)}});
}

void RemoteContentWindow::present(const PixelFrame& frame, const std::vector<PixelRect>& damage) {
  if (frame.width <= 0 || frame.height <= 0 || frame.pixels == nullptr) return;
  const bool resized = buffer_.width() != frame.width || buffer_.height() != frame.height;
  if (resized) {
    auto created = protocol::SharedPixels::create(frame.width, frame.height);
    if (!created.ok()) return;
    buffer_ = std::move(created.value());
    attached_ = false;
  }
  // The damaged rows go into the shared buffer; after a new size, all of them.
  const std::vector<PixelRect> whole{{0, 0, frame.width, frame.height}};
  const std::vector<PixelRect>& copied = resized ? whole : damage;
  unsigned char* target = buffer_.writableData();
  for (const PixelRect& rect : copied) {
    const int x0 = std::clamp(rect.x, 0, frame.width);
    const int x1 = std::clamp(rect.x + std::max(rect.width, 0), 0, frame.width);
    const int y0 = std::clamp(rect.y, 0, frame.height);
    const int y1 = std::clamp(rect.y + std::max(rect.height, 0), 0, frame.height);
    if (x0 >= x1) continue;
    const auto bytes = static_cast<std::size_t>(x1 - x0) * 4;
    for (int y = y0; y < y1; ++y) {
      std::memcpy(target + static_cast<std::size_t>(y) * buffer_.stride() +
                      static_cast<std::size_t>(x0) * 4,
                  frame.pixels + static_cast<std::size_t>(y) * frame.stride +
                      static_cast<std::size_t>(x0) * 4,
                  bytes);
    }
  }
  if (!isCurrent()) {
    // simdesk is not there, or came back without the window: made again, it gets it all.
    change(requests::windowDisplay, nlohmann::json::object());
    return;
  }
  if (!attachBuffer()) return;
  commit(copied);
}

void RemoteContentWindow::restoreExtras() {
  attached_ = false;
  if (!title_.empty()) send(requests::windowSetTitle, {{"title", title_}});
  if (alpha_ != 1) send(requests::windowSetAlpha, {{"alpha", alpha_}});
  if (accessibility_)
    send(requests::windowSetAccessibility, {{"tree", encodedTree(*accessibility_)}});
  if (attachBuffer()) {
    commit({{0, 0, buffer_.width(), buffer_.height()}});
  }
  // A window made again is not key until asked again.
  key_ = false;
}

void RemoteContentWindow::received(const nlohmann::json& event) {
  const auto window = event.find("window");
  if (window == event.end() || !window->is_number_unsigned() ||
      window->get<std::uint32_t>() != number() || number() == 0) {
    return;
  }
  const auto input = event.find("input");
  if (input == event.end()) return;
  const auto decoded = protocol::decodeWindowInput(*input);
  if (decoded && inputHandler_) inputHandler_(*decoded);
}

void RemoteContentWindow::keyChanged(const nlohmann::json& event) {
  const auto window = event.find("window");
  const auto key = event.find("key");
  if (window == event.end() || !window->is_number_unsigned() ||
      window->get<std::uint32_t>() != number() || number() == 0 || key == event.end() ||
      !key->is_boolean()) {
    return;
  }
  key_ = key->get<bool>();
  if (keyHandler_) keyHandler_(key_ ? KeyState::became : KeyState::resigned);
}

}  // namespace deskplay::platform
