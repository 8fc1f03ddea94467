#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "platform/event_taps.hpp"

// Input events on simdesk's socket. Decoders are strict about types; keys that are absent
// take the event's defaults, so a click needs only its type and location.
namespace deskplay::simdesk::protocol {

// The window server's name of an event type ("keyDown", "leftMouseDragged",
// "tapDisabledByTimeout", …).
std::string_view eventTypeName(platform::EventType type);
std::optional<platform::EventType> eventTypeNamed(std::string_view name);

// {"type": name, "flags", "keyCode", "characters", "charactersIgnoringModifiers", "x", "y",
//  "sourceUserData"}
nlohmann::json encodeEvent(const platform::Event& event);
std::optional<platform::Event> decodeEvent(const nlohmann::json& json);

// "pass" or "swallow"
std::string_view verdictName(platform::TapVerdict verdict);
std::optional<platform::TapVerdict> verdictNamed(std::string_view name);

}  // namespace deskplay::simdesk::protocol
