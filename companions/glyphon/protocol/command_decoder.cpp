#include "protocol/command_decoder.hpp"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

namespace deskplay::glyphon {

namespace {

using nlohmann::json;

// A member of the wrong shape; the message names the key path, as a decoder's error does.
struct DecodeFailure {
  std::string description;
};

std::string kindOf(const json& value) {
  switch (value.type()) {
    case json::value_t::object:
      return "an object";
    case json::value_t::array:
      return "an array";
    case json::value_t::string:
      return "a string";
    case json::value_t::boolean:
      return "a boolean";
    case json::value_t::null:
      return "null";
    default:
      return "a number";
  }
}

[[noreturn]] void wrongType(const std::string& where, const char* expected, const json& found) {
  throw DecodeFailure{"Expected " + std::string(expected) + " for key '" + where + "' but found " +
                      kindOf(found) + " instead."};
}

// The member `key` of `object`; nothing when it is absent or null.
const json* member(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return nullptr;
  return &*found;
}

std::string path(const std::string& parent, const std::string& key) {
  return parent.empty() ? key : parent + "." + key;
}

std::optional<std::string> optionalString(const json& object, const char* key,
                                          const std::string& parent = {}) {
  const json* value = member(object, key);
  if (value == nullptr) return std::nullopt;
  if (!value->is_string()) wrongType(path(parent, key), "a string", *value);
  return value->get<std::string>();
}

std::optional<bool> optionalBool(const json& object, const char* key, const std::string& parent) {
  const json* value = member(object, key);
  if (value == nullptr) return std::nullopt;
  if (!value->is_boolean()) wrongType(path(parent, key), "a boolean", *value);
  return value->get<bool>();
}

std::optional<double> optionalNumber(const json& object, const char* key,
                                     const std::string& parent = {}) {
  const json* value = member(object, key);
  if (value == nullptr) return std::nullopt;
  if (!value->is_number()) wrongType(path(parent, key), "a number", *value);
  const double number = value->get<double>();
  if (!std::isfinite(number)) {
    throw DecodeFailure{"Number for key '" + path(parent, key) + "' is out of range."};
  }
  return number;
}

std::optional<std::int64_t> optionalInteger(const json& object, const char* key) {
  const json* value = member(object, key);
  if (value == nullptr) return std::nullopt;
  if (value->is_number_unsigned()) {
    const std::uint64_t number = value->get<std::uint64_t>();
    if (number <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(number);
  } else if (value->is_number_integer()) {
    return value->get<std::int64_t>();
  } else if (value->is_number_float()) {
    // 2^63 is the first double past the range; every double below it in magnitude fits.
    constexpr double kLimit = 9223372036854775808.0;
    const double number = value->get<double>();
    if (std::isfinite(number) && std::trunc(number) == number && number >= -kLimit &&
        number < kLimit) {
      return static_cast<std::int64_t>(number);
    }
  } else {
    wrongType(key, "an integer", *value);
  }
  throw DecodeFailure{"Parsed JSON number <" + value->dump() + "> does not fit in Int for key '" +
                      std::string(key) + "'."};
}

const json& requiredMember(const json& object, const char* key, const std::string& parent) {
  const auto found = object.find(key);
  if (found == object.end()) {
    throw DecodeFailure{"No value associated with key '" + path(parent, key) + "'."};
  }
  if (found->is_null()) {
    throw DecodeFailure{"Expected a value for key '" + path(parent, key) +
                        "' but found null instead."};
  }
  return *found;
}

std::string requiredString(const json& object, const char* key, const std::string& parent = {}) {
  const json& value = requiredMember(object, key, parent);
  if (!value.is_string()) wrongType(path(parent, key), "a string", value);
  return value.get<std::string>();
}

double requiredNumber(const json& object, const char* key, const std::string& parent) {
  requiredMember(object, key, parent);
  return *optionalNumber(object, key, parent);
}

const json* optionalArray(const json& object, const char* key) {
  const json* value = member(object, key);
  if (value != nullptr && !value->is_array()) wrongType(key, "an array", *value);
  return value;
}

const json& requiredObject(const json& value, const std::string& where) {
  if (!value.is_object()) wrongType(where, "an object", value);
  return value;
}

NativeTransition decodeTransition(const json& value, const std::string& where) {
  const json& object = requiredObject(value, where);
  NativeTransition transition;
  transition.duration = requiredNumber(object, "duration", where);
  transition.easing = optionalString(object, "easing", where);
  transition.enabled = optionalBool(object, "enabled", where);
  return transition;
}

std::vector<PositionUpdate> decodeUpdates(const json& array) {
  std::vector<PositionUpdate> updates;
  updates.reserve(array.size());
  for (std::size_t index = 0; index < array.size(); ++index) {
    const std::string where = "updates[" + std::to_string(index) + "]";
    const json& object = requiredObject(array[index], where);
    PositionUpdate update;
    if (const json* transition = member(object, "transition")) {
      update.transition = decodeTransition(*transition, where + ".transition");
    }
    update.path = requiredString(object, "path", where);
    update.x = requiredNumber(object, "x", where);
    update.y = requiredNumber(object, "y", where);
    updates.push_back(std::move(update));
  }
  return updates;
}

std::vector<std::string> decodePaths(const json& array) {
  std::vector<std::string> paths;
  paths.reserve(array.size());
  for (std::size_t index = 0; index < array.size(); ++index) {
    const json& value = array[index];
    if (!value.is_string()) wrongType("paths[" + std::to_string(index) + "]", "a string", value);
    paths.push_back(value.get<std::string>());
  }
  return paths;
}

Command decodeObject(const json& object) {
  Command command;
  command.id = optionalString(object, "id");
  command.type = requiredString(object, "type");
  if (const json* updates = optionalArray(object, "updates")) {
    command.updates = decodeUpdates(*updates);
  }
  if (const json* paths = optionalArray(object, "paths")) command.paths = decodePaths(*paths);
  command.path = optionalString(object, "path");
  command.x = optionalNumber(object, "x");
  command.y = optionalNumber(object, "y");
  command.value = optionalString(object, "value");
  command.iconPath = optionalString(object, "iconPath");
  command.iconData = optionalString(object, "iconData");
  command.script = optionalString(object, "script");
  command.gridSpacing = optionalInteger(object, "gridSpacing");
  command.iconSize = optionalInteger(object, "iconSize");
  command.textSize = optionalInteger(object, "textSize");
  command.gridArrangement = optionalString(object, "gridArrangement");
  command.labelPosition = optionalString(object, "labelPosition");
  command.w = optionalNumber(object, "w");
  command.h = optionalNumber(object, "h");
  command.color = optionalString(object, "color");
  command.owner = optionalString(object, "owner");
  return command;
}

}  // namespace

DecodedLine decodeCommand(std::string_view line) {
  json parsed;
  try {
    parsed = json::parse(line);
  } catch (const json::exception& error) {
    return UndecodableLine{"The given data was not valid JSON. " + std::string(error.what()),
                           std::nullopt};
  }
  if (!parsed.is_object()) {
    return UndecodableLine{
        "Expected to decode a command object but found " + kindOf(parsed) + " instead.",
        std::nullopt};
  }
  try {
    return decodeObject(parsed);
  } catch (const DecodeFailure& failure) {
    std::optional<std::string> id;
    if (const auto found = parsed.find("id"); found != parsed.end() && found->is_string()) {
      id = found->get<std::string>();
    }
    return UndecodableLine{failure.description, std::move(id)};
  }
}

}  // namespace deskplay::glyphon
