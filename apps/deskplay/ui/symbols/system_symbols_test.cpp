#include "ui/symbols/system_symbols.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace deskplay::ui {
namespace {

// The font's own glyph names and codepoints, read from the SVG Debian ships beside it.
std::map<std::string, char32_t> fontGlyphs() {
  std::ifstream file(DESKPLAY_SYMBOL_FONT_SVG);
  std::stringstream text;
  text << file.rdbuf();
  const std::string svg = text.str();
  std::map<std::string, char32_t> glyphs;
  const std::regex glyph(R"re(<glyph\s+glyph-name="([^"]+)"\s+unicode="&#x([0-9A-Fa-f]+);")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), glyph); it != std::sregex_iterator();
       ++it) {
    glyphs[(*it)[1]] = static_cast<char32_t>(std::stoul((*it)[2], nullptr, 16));
  }
  return glyphs;
}

TEST(SystemSymbols, EveryCodepointIsTheNamedGlyphOfTheInstalledFont) {
  const auto glyphs = fontGlyphs();
  ASSERT_GT(glyphs.size(), 1000u) << "the symbol font's SVG could not be read";
  for (const SystemSymbol& symbol : systemSymbols()) {
    const auto found = glyphs.find(std::string(symbol.fontGlyphName));
    ASSERT_NE(found, glyphs.end()) << symbol.fontGlyphName;
    EXPECT_EQ(found->second, symbol.codepoint) << symbol.systemName;
  }
}

TEST(SystemSymbols, NamesAreUniqueAndEachHasAMeaning) {
  std::set<std::string_view> names;
  for (const SystemSymbol& symbol : systemSymbols()) {
    EXPECT_TRUE(names.insert(symbol.systemName).second) << symbol.systemName;
    EXPECT_FALSE(symbol.meaning.empty()) << symbol.systemName;
  }
}

TEST(SystemSymbols, LookupFindsKnownNamesAndRefusesUnknownOnes) {
  const auto controller = systemSymbol("gamecontroller.fill");
  ASSERT_TRUE(controller.ok());
  EXPECT_EQ(controller.value().codepoint, U'\xF297');
  EXPECT_EQ(symbolText(controller.value()), "\xEF\x8A\x97");

  const auto unknown = systemSymbol("gamecontroller");
  ASSERT_FALSE(unknown.ok());
  EXPECT_EQ(unknown.message(), "no symbol is named \"gamecontroller\"");
}

}  // namespace
}  // namespace deskplay::ui
