#include "common/one_line.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace deskplay {
namespace {

using namespace std::string_literals;

struct Case {
  const char* name;
  std::string text;
  std::string line;
};

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"nothing", "", ""},
      {"plain", "[ORVEL] command icon_size id=7", "[ORVEL] command icon_size id=7"},
      {"line feed", "a\nb", "a\\nb"},
      {"carriage return", "a\rb", "a\\rb"},
      {"both, at the ends", "\r\nmiddle\r\n", "\\r\\nmiddle\\r\\n"},
      {"vertical tab and form feed", "a\vb\fc", "a\\u000bb\\fc"},
      {"file, group and record separators",
       "a\x1C"
       "b\x1D"
       "c\x1E"
       "d",
       "a\\u001cb\\u001dc\\u001ed"},
      {"next line",
       "a\xC2\x85"
       "b",
       "a\\u0085b"},
      {"line separator",
       "a\xE2\x80\xA8"
       "b",
       "a\\u2028b"},
      {"paragraph separator",
       "a\xE2\x80\xA9"
       "b",
       "a\\u2029b"},
      {"forged answer", "/Users/me/Desktop/x\nICON:{\"id\":\"forged\",\"ok\":true}: errno 2",
       "/Users/me/Desktop/x\\nICON:{\"id\":\"forged\",\"ok\":true}: errno 2"},
      {"breaks past the first eight bytes",
       "0123456789abcdef\n0123456789\xE2\x80\xA8"
       "0123456789abcdef\xC2\x85",
       "0123456789abcdef\\n0123456789\\u20280123456789abcdef\\u0085"},
      // Not line breaks: kept byte for byte.
      {"tab and other controls",
       "a\tb\x01"
       "c\x1F"
       "d\x7F"
       "e"s,
       "a\tb\x01"
       "c\x1F"
       "d\x7F"
       "e"s},
      {"NUL", "a\0b"s, "a\0b"s},
      {"backslashes", "C:\\n and \\u2028", "C:\\n and \\u2028"},
      {"text sharing a lead byte", "caf\xC3\xA9 \xC2\xA0 \xE2\x82\xAC \xE2\x80\xA7 \xE2\x80\xAA",
       "caf\xC3\xA9 \xC2\xA0 \xE2\x82\xAC \xE2\x80\xA7 \xE2\x80\xAA"},
      {"other scripts and emoji", "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xAE",
       "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xAE"},
      // Bytes that are no UTF-8 stay as they are; a break after them is still one.
      {"cut short at the end", "a\xE2\x80", "a\xE2\x80"},
      {"lone lead bytes", "\xC2 \xE2", "\xC2 \xE2"},
      {"lone continuation byte",
       "a\x85"
       "b",
       "a\x85"
       "b"},
      {"invalid bytes before a break", "\xFF\xC2\x85\xE2\xE2\x80\xA8", "\xFF\\u0085\xE2\\u2028"},
  };
  return table;
}

TEST(OneLine, EscapesEveryLineBreakAndKeepsEveryOtherByte) {
  for (const Case& c : cases()) {
    EXPECT_EQ(oneLine(c.text), c.line) << c.name;
    std::string appended = "kept:";
    appendOneLine(appended, c.text);
    EXPECT_EQ(appended, "kept:" + c.line) << c.name;
  }
}

TEST(OneLine, HoldsNoLineBreakAndChangesNothingTheSecondTime) {
  for (const Case& c : cases()) {
    const std::string line = oneLine(c.text);
    for (const std::string& lineBreak : {"\n"s, "\r"s, "\v"s, "\f"s, "\x1C"s, "\x1D"s, "\x1E"s,
                                         "\xC2\x85"s, "\xE2\x80\xA8"s, "\xE2\x80\xA9"s}) {
      EXPECT_EQ(line.find(lineBreak), std::string::npos) << c.name;
    }
    EXPECT_EQ(oneLine(line), line) << c.name;
  }
}

TEST(OneLine, FindsABreakAtEveryOffset) {
  for (const std::string& lineBreak : {"\n"s, "\xC2\x85"s, "\xE2\x80\xA9"s}) {
    const std::string escaped = oneLine(lineBreak);
    for (std::size_t at = 0; at <= 17; ++at) {
      const std::string before(at, 'a');
      const std::string after(17 - at, 'b');
      EXPECT_EQ(oneLine(before + lineBreak + after), before + escaped + after) << at;
    }
  }
}

// Compact JSON holds raw line breaks only inside its strings, where the escapes mean the same.
TEST(OneLine, AJsonLineKeepsItsValue) {
  const nlohmann::json value = {{"id", "a\nb\r\v\f\x1C\x1D\x1E"},
                                {"path", "/Desktop/\xE2\x80\xA8\xE2\x80\xA9\xC2\x85 caf\xC3\xA9"},
                                {"nested", {{"list", {"x\ny", 1.5, true, nullptr}}}}};
  const std::string line = oneLine(value.dump());
  EXPECT_EQ(line.find('\n'), std::string::npos) << line;
  EXPECT_EQ(nlohmann::json::parse(line), value) << line;
}

}  // namespace
}  // namespace deskplay
