#include "sim/simdesk/protocol/screen_sizes.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk::protocol {
namespace {

TEST(ScreenSizesTest, ReadsListsAndNone) {
  auto one = parseScreenSizes("1440x900");
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(one.value(), (std::vector<platform::Size>{{1440, 900}}));
  auto two = parseScreenSizes("1440x900,1920x1080");
  ASSERT_TRUE(two.ok());
  EXPECT_EQ(two.value(), (std::vector<platform::Size>{{1440, 900}, {1920, 1080}}));
  auto none = parseScreenSizes("none");
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(none.value().empty());
}

TEST(ScreenSizesTest, RefusesAnythingElse) {
  for (const char* text : {"", "1440", "1440x", "x900", "1440x900,", ",1440x900", "0x900",
                           "-1x900", "1440X900", "1440x900x2", " 1440x900", "1e3x900",
                           "99999x900", "None"}) {
    EXPECT_FALSE(parseScreenSizes(text).ok()) << text;
  }
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
