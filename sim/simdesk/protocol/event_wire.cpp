#include "sim/simdesk/protocol/event_wire.hpp"

#include <array>
#include <cmath>
#include <type_traits>
#include <utility>

namespace deskplay::simdesk::protocol {

using nlohmann::json;
using platform::EventType;

namespace {

constexpr std::array<std::pair<EventType, std::string_view>, 13> kTypeNames{{
    {EventType::leftMouseDown, "leftMouseDown"},
    {EventType::leftMouseUp, "leftMouseUp"},
    {EventType::rightMouseDown, "rightMouseDown"},
    {EventType::rightMouseUp, "rightMouseUp"},
    {EventType::mouseMoved, "mouseMoved"},
    {EventType::leftMouseDragged, "leftMouseDragged"},
    {EventType::rightMouseDragged, "rightMouseDragged"},
    {EventType::keyDown, "keyDown"},
    {EventType::keyUp, "keyUp"},
    {EventType::flagsChanged, "flagsChanged"},
    {EventType::scrollWheel, "scrollWheel"},
    {EventType::tapDisabledByTimeout, "tapDisabledByTimeout"},
    {EventType::tapDisabledByUserInput, "tapDisabledByUserInput"},
}};

template <class T>
bool readInteger(const json& object, const char* key, T& value) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number_integer()) return false;
  if (std::is_unsigned_v<T> && !found->is_number_unsigned()) return false;
  value = found->get<T>();
  return true;
}

bool readText(const json& object, const char* key, std::string& value) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_string()) return false;
  value = found->get<std::string>();
  return true;
}

bool readCoordinate(const json& object, const char* key, double& value) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number()) return false;
  value = found->get<double>();
  return std::isfinite(value);
}

}  // namespace

std::string_view eventTypeName(EventType type) {
  for (const auto& [known, name] : kTypeNames) {
    if (known == type) return name;
  }
  return "unknown";
}

std::optional<EventType> eventTypeNamed(std::string_view name) {
  for (const auto& [type, known] : kTypeNames) {
    if (known == name) return type;
  }
  return std::nullopt;
}

json encodeEvent(const platform::Event& event) {
  json encoded = {{"type", eventTypeName(event.type)},
                  {"flags", event.flags},
                  {"keyCode", event.keyCode},
                  {"characters", event.characters},
                  {"charactersIgnoringModifiers", event.charactersIgnoringModifiers},
                  {"x", event.location.x},
                  {"y", event.location.y},
                  {"sourceUserData", event.sourceUserData}};
  if (event.type == EventType::scrollWheel) {
    encoded["deltaX"] = event.scrollDeltaX;
    encoded["deltaY"] = event.scrollDeltaY;
  }
  return encoded;
}

std::optional<platform::Event> decodeEvent(const json& object) {
  if (!object.is_object()) return std::nullopt;
  const auto typeName = object.find("type");
  if (typeName == object.end() || !typeName->is_string()) return std::nullopt;
  const auto type = eventTypeNamed(typeName->get<std::string>());
  if (!type) return std::nullopt;
  platform::Event event;
  event.type = *type;
  if (!readInteger(object, "flags", event.flags) ||
      !readInteger(object, "keyCode", event.keyCode) ||
      !readText(object, "characters", event.characters) ||
      !readText(object, "charactersIgnoringModifiers", event.charactersIgnoringModifiers) ||
      !readCoordinate(object, "x", event.location.x) ||
      !readCoordinate(object, "y", event.location.y) ||
      !readInteger(object, "sourceUserData", event.sourceUserData) ||
      !readCoordinate(object, "deltaX", event.scrollDeltaX) ||
      !readCoordinate(object, "deltaY", event.scrollDeltaY)) {
    return std::nullopt;
  }
  return event;
}

std::string_view verdictName(platform::TapVerdict verdict) {
  return verdict == platform::TapVerdict::swallow ? "swallow" : "pass";
}

std::optional<platform::TapVerdict> verdictNamed(std::string_view name) {
  if (name == "pass") return platform::TapVerdict::pass;
  if (name == "swallow") return platform::TapVerdict::swallow;
  return std::nullopt;
}

}  // namespace deskplay::simdesk::protocol
