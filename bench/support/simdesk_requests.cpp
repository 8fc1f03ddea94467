#include "bench/support/simdesk_requests.hpp"

#include <chrono>

#include "bench/support/bench_support.hpp"
#include "sim/simdesk/protocol/event_wire.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::bench {

namespace protocol = simdesk::protocol;

std::optional<double> smallestRequestMicroseconds(protocol::Connection& connection) {
  const auto start = std::chrono::steady_clock::now();
  if (!connection
           .request(protocol::requests::displayOptionsGet, nlohmann::json::object(),
                    protocol::Effect::readsOnly)
           .ok()) {
    return std::nullopt;
  }
  return microseconds(std::chrono::steady_clock::now() - start);
}

platform::Event keyDownTypingA(std::int64_t keyCode) {
  platform::Event key;
  key.type = platform::EventType::keyDown;
  key.keyCode = keyCode;
  key.characters = "a";
  key.charactersIgnoringModifiers = "a";
  return key;
}

nlohmann::json keyDownInjection(std::int64_t keyCode) {
  return {{"event", protocol::encodeEvent(keyDownTypingA(keyCode))}};
}

}  // namespace deskplay::bench
