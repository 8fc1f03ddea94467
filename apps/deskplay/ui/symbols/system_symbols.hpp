#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay::ui {

// The font that draws every symbol, and where Debian installs it.
inline constexpr std::string_view symbolFontFamily = "Material Design Icons";
inline constexpr std::string_view symbolFontPath =
    "/usr/share/fonts/truetype/materialdesignicons-webfont/materialdesignicons-webfont.ttf";

// One system-symbol name and the glyph of the symbol font that stands for it.
struct SystemSymbol {
  std::string_view systemName;  // "gamecontroller.fill"
  std::string_view meaning;     // what an assistive tool says for it: "Game controller"
  std::string_view fontGlyphName;
  char32_t codepoint;
};

// Every symbol the interface shows.
std::span<const SystemSymbol> systemSymbols();

// The symbol for a system name; an unknown name is an error, never a blank glyph.
Result<SystemSymbol> systemSymbol(std::string_view systemName);

// The symbol's glyph as UTF-8 text in the symbol font.
std::string symbolText(const SystemSymbol& symbol);

}  // namespace deskplay::ui
