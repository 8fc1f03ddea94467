#include "common/utf8.hpp"

#include <simdjson.h>

namespace deskplay {

namespace {

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the valid sequence starting at bytes[i], or 0 when there is none.
size_t sequenceLength(const unsigned char* bytes, size_t i, size_t size) {
  const unsigned char lead = bytes[i];
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char secondMin = 0x80;
  unsigned char secondMax = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) secondMin = 0xA0;  // overlong
    if (lead == 0xED) secondMax = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) secondMin = 0x90;  // overlong
    if (lead == 0xF4) secondMax = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (size - i < length) return 0;
  if (bytes[i + 1] < secondMin || bytes[i + 1] > secondMax) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (!isContinuation(bytes[i + k])) return 0;
  }
  return length;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  // Journals run to 16 MiB and are checked on every read and write: the vectorised
  // validator is an order of magnitude faster than a byte loop on mixed text.
  return simdjson::validate_utf8(text.data(), text.size());
}

std::string replacingInvalidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::string result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t length = sequenceLength(bytes, i, text.size());
    if (length == 0) {
      result += "\xEF\xBF\xBD";
      ++i;
    } else {
      result.append(text.substr(i, length));
      i += length;
    }
  }
  return result;
}

}  // namespace deskplay
