#include "core/hotkey/hotkey.hpp"

#include <QString>
#include <nlohmann/json.hpp>

namespace deskplay::core {

namespace {

using Json = nlohmann::json;

constexpr std::int64_t kMaxKeyCode = 0xFFFF;

}  // namespace

std::string Hotkey::display() const {
  std::string text;
  if (control) text += "\u2303";
  if (option) text += "\u2325";
  if (shift) text += "\u21E7";
  if (command) text += "\u2318";
  return text + label;
}

Hotkey defaultStopHotkey() {
  return Hotkey{12, true, true, false, false, "Q"};
}

Hotkey hotkeyOfEvent(const platform::Event& event) {
  return Hotkey{static_cast<int>(event.keyCode),
                (event.flags & platform::event_flags::control) != 0,
                (event.flags & platform::event_flags::option) != 0,
                (event.flags & platform::event_flags::shift) != 0,
                (event.flags & platform::event_flags::command) != 0,
                hotkeyLabel(event.keyCode, event)};
}

std::string hotkeyLabel(std::int64_t keyCode, const platform::Event& event) {
  switch (keyCode) {
    case 36:
      return "\u21A9";
    case 48:
      return "\u21E5";
    case 49:
      return "Space";
    case 51:
      return "\u232B";
    case 123:
      return "\u2190";
    case 124:
      return "\u2192";
    case 125:
      return "\u2193";
    case 126:
      return "\u2191";
    default:
      break;
  }
  const QString characters = QString::fromStdString(event.charactersIgnoringModifiers).toUpper();
  if (characters.isEmpty()) return "Key " + std::to_string(keyCode);
  return characters.toStdString();
}

std::optional<std::string> encodeHotkey(const Hotkey& hotkey) {
  const Json json{{"keyCode", hotkey.keyCode}, {"control", hotkey.control},
                  {"option", hotkey.option},   {"shift", hotkey.shift},
                  {"command", hotkey.command}, {"label", hotkey.label}};
  try {
    return json.dump();
  } catch (const Json::exception&) {
    return std::nullopt;
  }
}

std::optional<Hotkey> decodeHotkey(std::string_view text) {
  // The parser stops at a NUL byte as at the end of the text; no JSON text holds one.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  // Without exceptions: whatever the parser cannot read comes back discarded.
  const Json json = Json::parse(text, nullptr, false);
  if (!json.is_object()) return std::nullopt;
  const auto boolean = [&json](const char* key) -> std::optional<bool> {
    const auto found = json.find(key);
    if (found == json.end() || !found->is_boolean()) return std::nullopt;
    return found->get<bool>();
  };
  const auto keyCode = json.find("keyCode");
  const auto label = json.find("label");
  // A parsed integer that is not negative is unsigned.
  if (keyCode == json.end() || !keyCode->is_number_unsigned() ||
      keyCode->get<std::uint64_t>() > kMaxKeyCode) {
    return std::nullopt;
  }
  if (label == json.end() || !label->is_string()) return std::nullopt;
  const auto control = boolean("control");
  const auto option = boolean("option");
  const auto shift = boolean("shift");
  const auto command = boolean("command");
  if (!control || !option || !shift || !command) return std::nullopt;

  Hotkey hotkey{keyCode->get<int>(),      *control, *option, *shift, *command,
                label->get<std::string>()};
  if (!hotkey.hasModifier()) return std::nullopt;
  return hotkey;
}

}  // namespace deskplay::core
