#include "common/one_line.hpp"

#include <cstdint>
#include <cstring>

#include "common/word_bytes.hpp"

namespace deskplay {

namespace {

// Every line break starts with a control byte or with the lead byte of NEL (C2 85), LS
// (E2 80 A8) or PS (E2 80 A9). Lead bytes are never continuation bytes, so a match is a
// character of its own whatever surrounds it. Journals run to 16 MiB: eight bytes at a time.
bool mayStartABreak(std::uint8_t byte) {
  return byte < 0x20 || byte == 0xC2 || byte == 0xE2;
}

bool mayHoldABreak(std::uint64_t word) {
  return hasByteBelow(word, 0x20) || hasByte(word, 0xC2) || hasByte(word, 0xE2);
}

struct LineBreak {
  std::string_view escape;  // empty when there is none
  std::size_t length = 1;
};

// The line break that `text` (never empty) starts with.
LineBreak lineBreakAt(std::string_view text) {
  switch (static_cast<std::uint8_t>(text[0])) {
    case '\n':
      return {"\\n"};
    case '\r':
      return {"\\r"};
    case '\v':
      return {"\\u000b"};
    case '\f':
      return {"\\f"};
    case 0x1C:
      return {"\\u001c"};
    case 0x1D:
      return {"\\u001d"};
    case 0x1E:
      return {"\\u001e"};
    case 0xC2:
      if (text.substr(1, 1) == "\x85") return {"\\u0085", 2};
      break;
    case 0xE2:
      if (text.substr(1, 2) == "\x80\xA8") return {"\\u2028", 3};
      if (text.substr(1, 2) == "\x80\xA9") return {"\\u2029", 3};
      break;
    default:
      break;
  }
  return {};
}

}  // namespace

void appendOneLine(std::string& out, std::string_view text) {
  std::size_t copied = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (at + 8 <= text.size()) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + at, sizeof word);
      if (!mayHoldABreak(word)) {
        at += 8;
        continue;
      }
    }
    if (!mayStartABreak(static_cast<std::uint8_t>(text[at]))) {
      ++at;
      continue;
    }
    const LineBreak found = lineBreakAt(text.substr(at));
    if (found.escape.empty()) {
      ++at;
      continue;
    }
    out.append(text.substr(copied, at - copied));
    out.append(found.escape);
    at += found.length;
    copied = at;
  }
  out.append(text.substr(copied));
}

std::string oneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  appendOneLine(line, text);
  return line;
}

}  // namespace deskplay
