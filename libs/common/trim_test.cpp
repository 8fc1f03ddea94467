#include "common/trim.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay {
namespace {

struct TrimCase {
  std::string input;
  std::string expected;
};

class TrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, RemovesWhitespaceAndNewlinesAtBothEnds) {
  EXPECT_EQ(trimmedWhitespaceAndNewlines(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    ::testing::Values(TrimCase{"token\n", "token"}, TrimCase{"  \t\r\n", ""}, TrimCase{"", ""},
                      TrimCase{" a b ", "a b"},
                      // No-break space, ideographic space, line separator, next line.
                      TrimCase{"\xC2\xA0x\xE3\x80\x80", "x"},
                      TrimCase{"\xE2\x80\xA8y\xC2\x85", "y"},
                      // A trailing multi-byte letter is kept whole.
                      TrimCase{"\xC3\xA9\n", "\xC3\xA9"},
                      // Invalid bytes stop the trimming rather than being eaten.
                      TrimCase{" \xFF ", "\xFF"}, TrimCase{"\x80", "\x80"}));

}  // namespace
}  // namespace deskplay
