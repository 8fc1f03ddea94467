#include "simdesk_input.hpp"

#include <poll.h>

#include "sim/simdesk/protocol/event_wire.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::testing {

namespace protocol = simdesk::protocol;
using nlohmann::json;
using platform::EventType;

namespace {

// A process id of its own, so that the injecting connection never renames the test's
// application (simdesk keys applications by process id).
constexpr std::int32_t kInputProcess = 4199999;

}  // namespace

SimdeskInput::SimdeskInput(const SimdeskSession& session) {
  protocol::ConnectionOptions options;
  options.socketPath = session.socket();
  options.applicationName = "simdeskctl";
  options.processId = kInputProcess;
  connection_ = std::make_unique<protocol::Connection>(std::move(options));
  listener_ = connection_->listen(protocol::events::eventsDelivered, [this](const json& pushed) {
    const auto sequence = pushed.find("sequence");
    if (sequence != pushed.end() && sequence->is_number_unsigned()) {
      delivered_ = std::max(delivered_, sequence->get<std::uint64_t>());
    }
  });
}

SimdeskInput::~SimdeskInput() {
  connection_->unlisten(listener_);
}

bool SimdeskInput::inject(const platform::Event& event) {
  auto reply =
      connection_->request(protocol::requests::eventsInject,
                           {{"event", protocol::encodeEvent(event)}}, protocol::Effect::mayChange);
  if (!reply.ok()) return false;
  const auto sequence = reply.value().find("sequence");
  if (sequence == reply.value().end() || !sequence->is_number_unsigned()) return false;
  // A restarted simdesk numbers its events from 1 again.
  if (connection_->generation() != generation_) {
    generation_ = connection_->generation();
    delivered_ = 0;
  }
  injected_ = sequence->get<std::uint64_t>();
  return true;
}

bool SimdeskInput::key(std::int64_t keyCode, const std::string& characters, std::uint64_t flags) {
  platform::Event event;
  event.keyCode = keyCode;
  event.flags = flags;
  event.characters = characters;
  event.charactersIgnoringModifiers = characters;
  event.type = EventType::keyDown;
  if (!inject(event)) return false;
  event.type = EventType::keyUp;
  return inject(event);
}

bool SimdeskInput::click(platform::Point at, platform::EventTaps::MouseButton button) {
  const bool left = button == platform::EventTaps::MouseButton::left;
  platform::Event event;
  event.location = at;
  event.type = left ? EventType::leftMouseDown : EventType::rightMouseDown;
  if (!inject(event)) return false;
  event.type = left ? EventType::leftMouseUp : EventType::rightMouseUp;
  return inject(event);
}

bool SimdeskInput::waitUntilDelivered(const Pump& pump, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    connection_->dispatchEvents();
    if (delivered_ >= injected_) return true;
    pump();
    const int descriptor = connection_->eventDescriptor();
    if (descriptor < 0) return false;
    pollfd readable{descriptor, POLLIN, 0};
    ::poll(&readable, 1, 1);
  }
  return false;
}

}  // namespace deskplay::testing
