#include "platform/sim/remote_window.hpp"

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
using simdesk::protocol::Effect;

namespace {

std::string_view kindName(RemoteWindow::Kind kind) {
  switch (kind) {
    case RemoteWindow::Kind::window:
      return "window";
    case RemoteWindow::Kind::panel:
      return "panel";
    case RemoteWindow::Kind::statusPanel:
      return "statusPanel";
    case RemoteWindow::Kind::content:
      return "content";
  }
  return "window";
}

}  // namespace

RemoteWindow::RemoteWindow(simdesk::protocol::Connection& connection, const WindowSpec& spec,
                           Kind kind)
    : connection_(connection), spec_(spec), kind_(kind), frame_(spec.contentRect) {
  create();
}

RemoteWindow::~RemoteWindow() {
  if (number_ != 0 && generation_ == connection_.generation()) {
    (void)connection_.request(requests::windowClose, {{"window", number_}}, Effect::mayChange);
  }
}

void RemoteWindow::create() {
  number_ = 0;
  nlohmann::json fields = {{"kind", kindName(kind_)},
                           {"contentRect", simdesk::protocol::encodeRect(frame_)},
                           {"styleMask", spec_.styleMask}};
  auto reply = connection_.request(requests::windowCreate, std::move(fields), Effect::mayChange);
  if (!reply.ok()) return;
  const auto number = reply.value().find("window");
  if (number == reply.value().end() || !number->is_number_unsigned()) return;
  number_ = number->get<std::uint32_t>();
  generation_ = connection_.generation();
  if (configured_)
    send(requests::windowConfigure, {{"traits", simdesk::protocol::encodeTraits(traits_)}});
  restoreExtras();
  if (visible_) send(requests::windowOrderFront, nlohmann::json::object());
}

bool RemoteWindow::send(std::string_view type, nlohmann::json fields) {
  fields["window"] = number_;
  return connection_.request(type, std::move(fields), Effect::mayChange).ok();
}

void RemoteWindow::change(std::string_view type, nlohmann::json fields) {
  if (number_ == 0 || generation_ != connection_.generation()) {
    // The new window is made with everything this change set already.
    create();
    return;
  }
  const bool done = send(type, std::move(fields));
  // A request that reconnected reached a simdesk that never knew this window.
  if (!done && generation_ != connection_.generation()) create();
}

void RemoteWindow::configure(const WindowTraits& traits) {
  traits_ = traits;
  configured_ = true;
  change(requests::windowConfigure, {{"traits", simdesk::protocol::encodeTraits(traits)}});
}

void RemoteWindow::setFrame(const Rect& frame, Redraw) {
  frame_ = frame;
  change(requests::windowSetFrame, {{"frame", simdesk::protocol::encodeRect(frame)}});
}

void RemoteWindow::setFrameOrigin(Point origin) {
  frame_.origin = origin;
  change(requests::windowSetFrame, {{"frame", simdesk::protocol::encodeRect(frame_)}});
}

void RemoteWindow::orderFrontRegardless() {
  visible_ = true;
  change(requests::windowOrderFront, nlohmann::json::object());
}

void RemoteWindow::orderOut() {
  visible_ = false;
  change(requests::windowOrderOut, nlohmann::json::object());
}

void RemoteWindow::display() {
  change(requests::windowDisplay, nlohmann::json::object());
}

void RemoteStatusPanel::setContent(const Content& content) {
  content_ = content;
  contentSet_ = true;
  change(requests::windowSetContent, {{"content", simdesk::protocol::encodeContent(content)}});
}

void RemoteStatusPanel::restoreExtras() {
  if (contentSet_) {
    send(requests::windowSetContent, {{"content", simdesk::protocol::encodeContent(content_)}});
  }
}

}  // namespace deskplay::platform
