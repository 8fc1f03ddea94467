#include "common/json_scan.hpp"

#include <cstdint>
#include <cstring>

#include "common/word_bytes.hpp"

namespace deskplay {

namespace {

constexpr bool hasByte(std::uint64_t word, char byte) {
  return deskplay::hasByte(word, static_cast<std::uint8_t>(byte));
}

bool isSpecial(char c, SlashEscaping slashes) {
  return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\' ||
         (c == '/' && slashes == SlashEscaping::Backslashed);
}

}  // namespace

std::size_t findJsonSpecialByte(std::string_view text, SlashEscaping slashes) {
  const bool slashSpecial = slashes == SlashEscaping::Backslashed;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if (hasByteBelow(word, 0x20) || hasByte(word, '"') || hasByte(word, '\\') ||
        (slashSpecial && hasByte(word, '/'))) {
      break;
    }
  }
  for (; i < text.size(); ++i) {
    if (isSpecial(text[i], slashes)) return i;
  }
  return text.size();
}

}  // namespace deskplay
