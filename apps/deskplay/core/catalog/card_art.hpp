#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/game.hpp"

namespace deskplay::core {

// An sRGB colour, components from 0 to 1.
struct CardColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double opacity = 1;

  friend bool operator==(const CardColor&, const CardColor&) = default;
};

// A card colour from hexadecimal RGB text such as "#1e90ff" or "1e90ff": every "#" at either
// end is dropped; text that is not hexadecimal gives black.
CardColor cardColor(std::string_view text);

// The glyph's "#" cells: white at 0.95 opacity, whatever the palette says.
inline constexpr CardColor kGlyphInk{1, 1, 1, 0.95};

// The card background colours, one per gradient entry, in order.
std::vector<CardColor> gradientColors(const Game& game);

// One row per glyph row, one cell per character (extended grapheme cluster): "#" is ink, a
// character the palette names has the palette's colour, any other cell is transparent.
std::vector<std::vector<std::optional<CardColor>>> glyphCells(const Game& game);

// True when the longest glyph row has more than twice as many characters as there are rows.
bool isWideGlyph(const Game& game);

// `text` (UTF-8) split into extended grapheme clusters; a byte that is not valid UTF-8 stands
// alone.
std::vector<std::string> graphemeClusters(std::string_view text);

}  // namespace deskplay::core
