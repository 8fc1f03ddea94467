#include "ui/symbols/system_symbols.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace deskplay::ui {
namespace {

// Codepoints of the font release Debian ships (1.6.50), checked against the font's own glyph
// names by the tests.
constexpr std::array symbols{
    SystemSymbol{"gamecontroller.fill", "Game controller", "gamepad-variant", 0xF297},
    SystemSymbol{"chevron.left", "Back", "chevron-left", 0xF141},
    SystemSymbol{"chevron.right", "Forward", "chevron-right", 0xF142},
    SystemSymbol{"gearshape.fill", "Settings", "settings", 0xF493},
    SystemSymbol{"power", "Quit", "power", 0xF425},
    SystemSymbol{"play.fill", "Play", "play", 0xF40A},
    SystemSymbol{"stop.fill", "Stop", "stop", 0xF4DB},
    SystemSymbol{"person.fill", "Solo", "account", 0xF004},
    SystemSymbol{"person.2.fill", "Multiplayer", "account-multiple", 0xF00E},
    SystemSymbol{"person.crop.circle", "Account", "account-circle", 0xF009},
    SystemSymbol{"person.crop.circle.fill", "Account", "account-circle", 0xF009},
    SystemSymbol{"exclamationmark.shield.fill", "Permission needed", "alert-octagon", 0xF029},
    SystemSymbol{"checkmark.shield.fill", "Permission granted", "shield", 0xF498},
    SystemSymbol{"lock.shield.fill", "Privacy", "lock", 0xF33E},
    SystemSymbol{"exclamationmark.triangle.fill", "Warning", "alert", 0xF026},
    SystemSymbol{"exclamationmark.circle.fill", "Error", "alert-circle", 0xF028},
    SystemSymbol{"checkmark.circle.fill", "Done", "check-circle", 0xF5E0},
    SystemSymbol{"keyboard.fill", "Keyboard", "keyboard", 0xF30C},
    SystemSymbol{"folder.fill", "Folder", "folder", 0xF24B},
    SystemSymbol{"arrow.uturn.backward", "Reset", "undo", 0xF54C},
    SystemSymbol{"arrow.clockwise", "Refresh", "refresh", 0xF450},
};

}  // namespace

std::span<const SystemSymbol> systemSymbols() {
  return symbols;
}

Result<SystemSymbol> systemSymbol(std::string_view systemName) {
  const auto found = std::ranges::find(symbols, systemName, &SystemSymbol::systemName);
  if (found == symbols.end()) {
    return Error("no symbol is named \"" + std::string(systemName) + "\"");
  }
  return *found;
}

std::string symbolText(const SystemSymbol& symbol) {
  const auto c = static_cast<std::uint32_t>(symbol.codepoint);
  std::string text;
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
  return text;
}

}  // namespace deskplay::ui
