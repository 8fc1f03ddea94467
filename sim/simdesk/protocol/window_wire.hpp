#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "platform/status_items.hpp"
#include "platform/window_content.hpp"

// The JSON shapes of the content windows' and status items' value types on simdesk's socket.
// Decoders are strict: a missing key or a wrong type gives nothing.
namespace deskplay::simdesk::protocol {

// {"x", "y", "width", "height"} in whole pixels
nlohmann::json encodePixelRect(const platform::PixelRect& rect);
std::optional<platform::PixelRect> decodePixelRect(const nlohmann::json& json);

// {"kind", "button": "none"|"left"|"right", "flags", "x", "y", "deltaX", "deltaY", "keyCode",
//  "characters", "charactersIgnoringModifiers"}
nlohmann::json encodeWindowInput(const platform::WindowInput& input);
std::optional<platform::WindowInput> decodeWindowInput(const nlohmann::json& json);

// {"role", "title", "value", "enabled", "frame", "children": [node…]}; at most kMaxTreeDepth
// deep.
inline constexpr int kMaxTreeDepth = 64;
nlohmann::json encodeAccessibleNode(const platform::AccessibleNode& node);
std::optional<platform::AccessibleNode> decodeAccessibleNode(const nlohmann::json& json,
                                                             int depth = 0);

// {"title", "image"?: {"png": hex text, "width", "height"}, "length"?: n,
//  "accessibilityTitle"}
nlohmann::json encodeAppearance(const platform::StatusItemAppearance& appearance);
std::optional<platform::StatusItemAppearance> decodeAppearance(const nlohmann::json& json);

}  // namespace deskplay::simdesk::protocol
