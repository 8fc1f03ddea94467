#include "core/catalog/card_art.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>

namespace deskplay::core {

namespace {

constexpr char kInkCharacter[] = "#";

int hexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

// Palette keys and glyph characters match as canonically equivalent text, so an "é" typed
// as one code point finds a key written as "e" plus a combining accent.
std::string canonical(const std::string& text) {
  const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> composed(
      utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(text.c_str())), &std::free);
  if (!composed) return text;
  return std::string(reinterpret_cast<const char*>(composed.get()));
}

}  // namespace

CardColor cardColor(std::string_view text) {
  while (!text.empty() && text.front() == '#') text.remove_prefix(1);
  while (!text.empty() && text.back() == '#') text.remove_suffix(1);
  std::uint64_t value = 0;
  bool hexadecimal = !text.empty();
  for (const char digit : text) {
    const int digitValue = hexDigitValue(digit);
    // Anything else, or more than 64 bits, is not a number.
    if (digitValue < 0 || value > (UINT64_MAX >> 4)) {
      hexadecimal = false;
      break;
    }
    value = (value << 4) | static_cast<std::uint64_t>(digitValue);
  }
  if (!hexadecimal) value = 0;
  const auto channel = [value](int shift) {
    return static_cast<double>((value >> shift) & 0xFF) / 255.0;
  };
  return CardColor{channel(16), channel(8), channel(0), 1};
}

std::vector<CardColor> gradientColors(const Game& game) {
  std::vector<CardColor> colours;
  colours.reserve(game.card.gradient.size());
  for (const std::string& entry : game.card.gradient) colours.push_back(cardColor(entry));
  return colours;
}

std::vector<std::vector<std::optional<CardColor>>> glyphCells(const Game& game) {
  std::map<std::string, CardColor> palette;
  if (game.card.palette) {
    for (const auto& [character, colour] : *game.card.palette) {
      palette.emplace(canonical(character), cardColor(colour));
    }
  }
  std::vector<std::vector<std::optional<CardColor>>> rows;
  rows.reserve(game.card.glyph.size());
  for (const std::string& row : game.card.glyph) {
    std::vector<std::optional<CardColor>> cells;
    for (const std::string& character : graphemeClusters(row)) {
      if (character == kInkCharacter) {
        cells.emplace_back(kGlyphInk);
      } else if (const auto found = palette.find(canonical(character)); found != palette.end()) {
        cells.emplace_back(found->second);
      } else {
        cells.emplace_back(std::nullopt);
      }
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

bool isWideGlyph(const Game& game) {
  size_t longest = 0;
  for (const std::string& row : game.card.glyph) {
    longest = std::max(longest, graphemeClusters(row).size());
  }
  return !game.card.glyph.empty() && longest > 2 * game.card.glyph.size();
}

std::vector<std::string> graphemeClusters(std::string_view text) {
  std::vector<std::string> clusters;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  const auto size = static_cast<utf8proc_ssize_t>(text.size());
  utf8proc_int32_t state = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_ssize_t position = 0;
  while (position < size) {
    utf8proc_int32_t codePoint = 0;
    utf8proc_ssize_t length = utf8proc_iterate(bytes + position, size - position, &codePoint);
    const bool valid = length > 0;
    if (!valid) length = 1;
    const bool breaks =
        !valid || previous < 0 || utf8proc_grapheme_break_stateful(previous, codePoint, &state);
    const std::string_view piece =
        text.substr(static_cast<size_t>(position), static_cast<size_t>(length));
    if (breaks || clusters.empty()) {
      clusters.emplace_back(piece);
    } else {
      clusters.back().append(piece);
    }
    if (valid) {
      previous = codePoint;
    } else {
      // Nothing joins an invalid byte, before or after.
      previous = -1;
      state = 0;
    }
    position += length;
  }
  return clusters;
}

}  // namespace deskplay::core
