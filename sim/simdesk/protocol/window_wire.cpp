#include "sim/simdesk/protocol/window_wire.hpp"

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::simdesk::protocol {

using nlohmann::json;
using platform::WindowInput;
using Kind = platform::WindowInput::Kind;

namespace {

constexpr std::array<std::pair<Kind, std::string_view>, 9> kKindNames{{
    {Kind::mouseDown, "mouseDown"},
    {Kind::mouseUp, "mouseUp"},
    {Kind::mouseDragged, "mouseDragged"},
    {Kind::mouseMoved, "mouseMoved"},
    {Kind::mouseEntered, "mouseEntered"},
    {Kind::mouseExited, "mouseExited"},
    {Kind::scrollWheel, "scrollWheel"},
    {Kind::keyDown, "keyDown"},
    {Kind::keyUp, "keyUp"},
}};

std::string_view buttonName(platform::PointerButton button) {
  switch (button) {
    case platform::PointerButton::left:
      return "left";
    case platform::PointerButton::right:
      return "right";
    case platform::PointerButton::none:
      break;
  }
  return "none";
}

std::optional<platform::PointerButton> buttonNamed(std::string_view name) {
  if (name == "none") return platform::PointerButton::none;
  if (name == "left") return platform::PointerButton::left;
  if (name == "right") return platform::PointerButton::right;
  return std::nullopt;
}

const json* field(const json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

bool readNumber(const json& object, const char* key, double& value) {
  const json* found = field(object, key);
  if (found == nullptr || !found->is_number()) return false;
  value = found->get<double>();
  return std::isfinite(value);
}

bool readText(const json& object, const char* key, std::string& value) {
  const json* found = field(object, key);
  if (found == nullptr || !found->is_string()) return false;
  value = found->get<std::string>();
  return true;
}

std::string hexOf(const std::vector<unsigned char>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const unsigned char byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0xF]);
  }
  return text;
}

std::optional<std::vector<unsigned char>> bytesOfHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::vector<unsigned char> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = digit(text[i]);
    const int low = digit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

json encodePixelRect(const platform::PixelRect& rect) {
  return {{"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}};
}

std::optional<platform::PixelRect> decodePixelRect(const json& object) {
  if (!object.is_object()) return std::nullopt;
  platform::PixelRect rect;
  for (auto [key, value] : {std::pair<const char*, int*>{"x", &rect.x},
                            {"y", &rect.y},
                            {"width", &rect.width},
                            {"height", &rect.height}}) {
    const json* found = field(object, key);
    if (found == nullptr || !found->is_number_integer()) return std::nullopt;
    const auto number = found->get<std::int64_t>();
    if (number < -(std::int64_t{1} << 30) || number > (std::int64_t{1} << 30)) return std::nullopt;
    *value = static_cast<int>(number);
  }
  return rect;
}

json encodeWindowInput(const WindowInput& input) {
  std::string_view kind = "mouseMoved";
  for (const auto& [known, name] : kKindNames) {
    if (known == input.kind) kind = name;
  }
  return {{"kind", kind},
          {"button", buttonName(input.button)},
          {"flags", input.flags},
          {"x", input.location.x},
          {"y", input.location.y},
          {"deltaX", input.scrollDeltaX},
          {"deltaY", input.scrollDeltaY},
          {"keyCode", input.keyCode},
          {"characters", input.characters},
          {"charactersIgnoringModifiers", input.charactersIgnoringModifiers}};
}

std::optional<WindowInput> decodeWindowInput(const json& object) {
  if (!object.is_object()) return std::nullopt;
  WindowInput input;
  std::string kind;
  std::string button;
  if (!readText(object, "kind", kind) || !readText(object, "button", button)) return std::nullopt;
  bool known = false;
  for (const auto& [value, name] : kKindNames) {
    if (name == kind) {
      input.kind = value;
      known = true;
    }
  }
  const auto pointer = buttonNamed(button);
  if (!known || !pointer) return std::nullopt;
  input.button = *pointer;
  const json* flags = field(object, "flags");
  const json* keyCode = field(object, "keyCode");
  if (flags == nullptr || !flags->is_number_unsigned() || keyCode == nullptr ||
      !keyCode->is_number_integer()) {
    return std::nullopt;
  }
  input.flags = flags->get<std::uint64_t>();
  input.keyCode = keyCode->get<std::int64_t>();
  if (!readNumber(object, "x", input.location.x) || !readNumber(object, "y", input.location.y) ||
      !readNumber(object, "deltaX", input.scrollDeltaX) ||
      !readNumber(object, "deltaY", input.scrollDeltaY) ||
      !readText(object, "characters", input.characters) ||
      !readText(object, "charactersIgnoringModifiers", input.charactersIgnoringModifiers)) {
    return std::nullopt;
  }
  return input;
}

json encodeAccessibleNode(const platform::AccessibleNode& node) {
  json children = json::array();
  for (const auto& child : node.children) children.push_back(encodeAccessibleNode(child));
  return {{"role", node.role},
          {"title", node.title},
          {"value", node.value},
          {"enabled", node.enabled},
          {"frame", encodeRect(node.frame)},
          {"children", std::move(children)}};
}

std::optional<platform::AccessibleNode> decodeAccessibleNode(const json& object, int depth) {
  if (!object.is_object() || depth > kMaxTreeDepth) return std::nullopt;
  platform::AccessibleNode node;
  if (!readText(object, "role", node.role) || !readText(object, "title", node.title) ||
      !readText(object, "value", node.value)) {
    return std::nullopt;
  }
  const json* enabled = field(object, "enabled");
  const json* frame = field(object, "frame");
  const json* children = field(object, "children");
  if (enabled == nullptr || !enabled->is_boolean() || frame == nullptr || children == nullptr ||
      !children->is_array()) {
    return std::nullopt;
  }
  node.enabled = enabled->get<bool>();
  const auto rect = decodeRect(*frame);
  if (!rect) return std::nullopt;
  node.frame = *rect;
  for (const json& child : *children) {
    auto decoded = decodeAccessibleNode(child, depth + 1);
    if (!decoded) return std::nullopt;
    node.children.push_back(std::move(*decoded));
  }
  return node;
}

json encodeAppearance(const platform::StatusItemAppearance& appearance) {
  json object{{"title", appearance.title}, {"accessibilityTitle", appearance.accessibilityTitle}};
  if (appearance.image) {
    object["image"] = {{"png", hexOf(appearance.image->png)},
                       {"width", appearance.image->width},
                       {"height", appearance.image->height}};
  }
  if (appearance.length) object["length"] = *appearance.length;
  return object;
}

std::optional<platform::StatusItemAppearance> decodeAppearance(const json& object) {
  if (!object.is_object()) return std::nullopt;
  platform::StatusItemAppearance appearance;
  if (!readText(object, "title", appearance.title) ||
      !readText(object, "accessibilityTitle", appearance.accessibilityTitle)) {
    return std::nullopt;
  }
  if (const json* image = field(object, "image")) {
    if (!image->is_object()) return std::nullopt;
    std::string hex;
    const json* width = field(*image, "width");
    const json* height = field(*image, "height");
    if (!readText(*image, "png", hex) || width == nullptr || !width->is_number_integer() ||
        height == nullptr || !height->is_number_integer()) {
      return std::nullopt;
    }
    auto bytes = bytesOfHex(hex);
    if (!bytes) return std::nullopt;
    appearance.image = platform::Image{std::move(*bytes), width->get<int>(), height->get<int>()};
  }
  if (field(object, "length") != nullptr) {
    double length = 0;
    if (!readNumber(object, "length", length) || length < 0) return std::nullopt;
    appearance.length = length;
  }
  return appearance;
}

}  // namespace deskplay::simdesk::protocol
