#include "common/json_scan.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay {
namespace {

TEST(FindJsonSpecialByte, FindsTheFirstByteThatNeedsAnEscapeAtEveryPosition) {
  // Every position within and across the eight-byte blocks, for every kind of byte.
  for (const char special : {'"', '\\', '\n', '\x01', '\x1F'}) {
    for (size_t at = 0; at < 20; ++at) {
      std::string text(20, 'a');
      text[at] = special;
      EXPECT_EQ(findJsonSpecialByte(text, SlashEscaping::Plain), at)
          << "byte " << int(special) << " at " << at;
    }
  }
}

TEST(FindJsonSpecialByte, SlashesCountOnlyWhenEscaped) {
  const std::string path = "Users/me";
  EXPECT_EQ(findJsonSpecialByte(path, SlashEscaping::Plain), path.size());
  EXPECT_EQ(findJsonSpecialByte(path, SlashEscaping::Backslashed), 5u);
}

TEST(FindJsonSpecialByte, PassesOverSpaceDeleteAndNonAscii) {
  const std::string text = " ~\x7F caf\xC3\xA9 \xF0\x9F\x8E\xAE !#";
  EXPECT_EQ(findJsonSpecialByte(text, SlashEscaping::Backslashed), text.size());
  EXPECT_EQ(findJsonSpecialByte("", SlashEscaping::Plain), 0u);
}

}  // namespace
}  // namespace deskplay
