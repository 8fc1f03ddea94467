#include "common/trim.hpp"

#include <utf8proc.h>

#include <cstdint>

namespace deskplay {

namespace {

bool isWhitespaceOrNewline(utf8proc_int32_t codePoint) {
  if (codePoint == '\t' || (codePoint >= 0x0A && codePoint <= 0x0D) || codePoint == 0x85) {
    return true;
  }
  const utf8proc_category_t category = utf8proc_category(codePoint);
  return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
         category == UTF8PROC_CATEGORY_ZP;
}

// The length of the code point at `text`'s start when it is white space, else 0.
size_t leadingSpaceLength(std::string_view text) {
  utf8proc_int32_t codePoint = 0;
  const utf8proc_ssize_t length =
      utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                       static_cast<utf8proc_ssize_t>(text.size()), &codePoint);
  if (length <= 0 || !isWhitespaceOrNewline(codePoint)) return 0;
  return static_cast<size_t>(length);
}

// The length of the code point ending `text` when it is white space, else 0.
size_t trailingSpaceLength(std::string_view text) {
  size_t start = text.size();
  // A code point is at most four bytes; step back over continuation bytes to its lead.
  for (size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    start = text.size() - back;
    if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) break;
  }
  const std::string_view last = text.substr(start);
  return leadingSpaceLength(last) == last.size() ? last.size() : 0;
}

}  // namespace

std::string_view trimmedWhitespaceAndNewlines(std::string_view text) {
  while (!text.empty()) {
    const size_t length = leadingSpaceLength(text);
    if (length == 0) break;
    text.remove_prefix(length);
  }
  while (!text.empty()) {
    const size_t length = trailingSpaceLength(text);
    if (length == 0) break;
    text.remove_suffix(length);
  }
  return text;
}

}  // namespace deskplay
