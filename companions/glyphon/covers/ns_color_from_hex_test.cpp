#include "covers/ns_color_from_hex.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::glyphon {
namespace {

using platform::Color;

TEST(NsColorFromHexTest, ReadsRedGreenAndBlueFromTheLowBytes) {
  const Color black{0, 0, 0, 1};
  const Color orange{1, 0x88 / 255.0, 0, 1};
  const std::pair<std::string, Color> cases[] = {
      {"#00ff00", {0, 1, 0, 1}},
      {"  #0000FF  ", {0, 0, 1, 1}},
      {"#ff8800", orange},
      {"FF8800", orange},
      {"##ff8800#", orange},
      {"+ff8800", orange},
      {"80ff8800", orange},  // the top byte is no alpha
      {"-0", black},
      {"-ff8800", black},
      {"zz", black},
      {"", black},
      {"#", black},
      {"ff 88 00", black},
      {"0xff8800", black},
      {"1ff8800ff", black},  // more than 32 bits
      {"\tff8800", black},   // only spaces are trimmed
  };
  for (const auto& [hex, colour] : cases)
    EXPECT_EQ(nsColorFromHex(hex), colour) << '"' << hex << '"';
}

}  // namespace
}  // namespace deskplay::glyphon
