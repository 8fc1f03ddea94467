#include "common/utf8.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay {
namespace {

struct Utf8Case {
  const char* label;
  std::string bytes;
  bool valid;
};

void PrintTo(const Utf8Case& utf8Case, std::ostream* out) {
  *out << utf8Case.label;
}

class Utf8Validation : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validation, AcceptsOnlyShortestWellFormedSequences) {
  EXPECT_EQ(isValidUtf8(GetParam().bytes), GetParam().valid) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Validation,
    ::testing::Values(
        Utf8Case{"empty", "", true}, Utf8Case{"ascii", "Desktop notes.txt", true},
        Utf8Case{"embedded NUL", std::string("a\0b", 3), true},
        Utf8Case{"two-byte", "caf\xC3\xA9", true}, Utf8Case{"three-byte", "\xE2\x82\xAC", true},
        Utf8Case{"four-byte", "\xF0\x9F\x8E\xAE", true},
        Utf8Case{"highest scalar", "\xF4\x8F\xBF\xBF", true},
        Utf8Case{"long ascii run then accent", std::string(37, 'x') + "\xC3\xA9", true},
        Utf8Case{"lone continuation", "\x80", false},
        Utf8Case{"overlong two-byte", "\xC0\xAF", false},
        Utf8Case{"overlong three-byte", "\xE0\x80\xAF", false},
        Utf8Case{"overlong four-byte", "\xF0\x80\x80\xAF", false},
        Utf8Case{"surrogate", "\xED\xA0\x80", false},
        Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", false},
        Utf8Case{"invalid lead byte", "\xFF", false},
        Utf8Case{"truncated at end", "abc\xE2\x82", false},
        Utf8Case{"truncated before ascii", "\xE2\x82z", false},
        Utf8Case{"latin-1 after an ascii block", std::string(16, 'a') + "\xE9", false}));

}  // namespace
}  // namespace deskplay

namespace deskplay {
namespace {

TEST(ReplacingInvalidUtf8, KeepsValidTextAndReplacesEachBadByte) {
  EXPECT_EQ(replacingInvalidUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(replacingInvalidUtf8("a\xFF"
                                 "b\xE2\x82"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_TRUE(isValidUtf8(replacingInvalidUtf8("\xC0\xAF\xED\xA0\x80")));
}

}  // namespace
}  // namespace deskplay
