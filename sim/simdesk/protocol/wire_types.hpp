#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"
#include "platform/script_host.hpp"
#include "platform/windows.hpp"

// The JSON shapes of the platform's value types on simdesk's socket, one place for both ends.
// Decoders are strict: a missing key or a wrong type gives nothing.
namespace deskplay::simdesk::protocol {

// {"x", "y"}
nlohmann::json encodePoint(const platform::Point& point);
std::optional<platform::Point> decodePoint(const nlohmann::json& json);
// {"width", "height"}
nlohmann::json encodeSize(const platform::Size& size);
std::optional<platform::Size> decodeSize(const nlohmann::json& json);
// {"x", "y", "width", "height"}
nlohmann::json encodeRect(const platform::Rect& rect);
std::optional<platform::Rect> decodeRect(const nlohmann::json& json);
// {"red", "green", "blue", "alpha"}, each 0…1
nlohmann::json encodeColor(const platform::Color& color);
std::optional<platform::Color> decodeColor(const nlohmann::json& json);
// {"frame", "visibleFrame"}
nlohmann::json encodeScreen(const platform::Screen& screen);
std::optional<platform::Screen> decodeScreen(const nlohmann::json& json);
// Every field under its own name; "background" null for the clear colour.
nlohmann::json encodeTraits(const platform::WindowTraits& traits);
std::optional<platform::WindowTraits> decodeTraits(const nlohmann::json& json);
// {"text", "accessibilityLabel", "labelFrame", "spinnerFrame", "spinnerVisible", "spinnerAnimating"}
nlohmann::json encodeContent(const platform::StatusPanel::Content& content);
std::optional<platform::StatusPanel::Content> decodeContent(const nlohmann::json& json);
// {"number", "ownerProcess", "ownerName", "name", "layer", "bounds"}
nlohmann::json encodeWindowInfo(const platform::WindowInfo& info);
std::optional<platform::WindowInfo> decodeWindowInfo(const nlohmann::json& json);
// {"pid", "bundleIdentifier": text|null, "localizedName": text|null}
nlohmann::json encodeApplication(const platform::RunningApplication& application);
std::optional<platform::RunningApplication> decodeApplication(const nlohmann::json& json);

// An attribute value: a string, a boolean or a number as themselves; a point as {"x","y"};
// a size as {"width","height"}; a URL as {"url"}; an element as {"element": handle}; an
// element list as {"elements": [handle…]}. A missing value is not encoded at all.
nlohmann::json encodeAttribute(const platform::AttributeValue& value);
platform::AttributeValue decodeAttribute(const nlohmann::json& json);

// One accessibility element with everything it answers: {"element": handle, "pid": owner,
// "attributes": {name: value…}}.
struct ElementBundle {
  std::uint64_t handle = 0;
  platform::ProcessId process = 0;
  std::map<std::string, platform::AttributeValue, std::less<>> attributes;
};
nlohmann::json encodeBundle(const ElementBundle& bundle);
std::optional<ElementBundle> decodeBundle(const nlohmann::json& json);

// A script run as the script.run reply carries it: {"outcome": "succeeded"|"compileFailed"|
// "runFailed", "result"?: {"string"?, "int32", "description"}, "error"?: {"message"?,
// "number"?, "description"}}.
nlohmann::json encodeScriptRun(const platform::ScriptRun& run);
std::optional<platform::ScriptRun> decodeScriptRun(const nlohmann::json& json);

}  // namespace deskplay::simdesk::protocol
