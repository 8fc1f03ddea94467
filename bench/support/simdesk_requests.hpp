#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "platform/event_taps.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::bench {

// The round trip of simdesk's smallest request, in microseconds: the baseline beside which
// an injected event's latency is read. Nothing when the request fails.
std::optional<double> smallestRequestMicroseconds(simdesk::protocol::Connection& connection);

// A key press of `keyCode` that types "a", and the injection body that sends it.
platform::Event keyDownTypingA(std::int64_t keyCode);
nlohmann::json keyDownInjection(std::int64_t keyCode);

}  // namespace deskplay::bench
