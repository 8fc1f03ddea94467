#include "finder/integer_text.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace deskplay::glyphon {
namespace {

struct Parsed {
  std::string text;
  std::optional<std::int64_t> number;
};

void PrintTo(const Parsed& parsed, std::ostream* out) {
  *out << '"' << parsed.text << '"';
}

class DecimalInteger : public ::testing::TestWithParam<Parsed> {};

TEST_P(DecimalInteger, ParsesOnlyASignAndDigits) {
  EXPECT_EQ(parseDecimalInteger(GetParam().text), GetParam().number);
}

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalInteger,
    ::testing::Values(
        Parsed{"72", 72}, Parsed{"+80", 80}, Parsed{"-5", -5}, Parsed{"0", 0}, Parsed{"-0", 0},
        Parsed{"007", 7}, Parsed{"9223372036854775807", kMax}, Parsed{"-9223372036854775808", kMin},
        Parsed{"9223372036854775808", std::nullopt}, Parsed{"-9223372036854775809", std::nullopt},
        Parsed{"", std::nullopt}, Parsed{"+", std::nullopt}, Parsed{"-", std::nullopt},
        Parsed{"+-5", std::nullopt}, Parsed{"-+5", std::nullopt}, Parsed{"--5", std::nullopt},
        Parsed{" 80", std::nullopt}, Parsed{"80 ", std::nullopt}, Parsed{"72px", std::nullopt},
        Parsed{"7.0", std::nullopt}, Parsed{"1e3", std::nullopt}, Parsed{"0x10", std::nullopt},
        Parsed{"\xD9\xA3", std::nullopt}));

class WholeNumber : public ::testing::TestWithParam<Parsed> {};

TEST_P(WholeNumber, TruncatesFiniteNumbersInRange) {
  EXPECT_EQ(parseWholeNumber(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WholeNumber,
    ::testing::Values(Parsed{"64", 64}, Parsed{"64.000000", 64}, Parsed{"80.9", 80},
                      Parsed{"-80.9", -80}, Parsed{"+12.5", 12}, Parsed{"1e2", 100},
                      Parsed{".5", 0}, Parsed{"9223372036854774784", 9223372036854774784},
                      Parsed{"9223372036854775808", std::nullopt},
                      Parsed{"-9223372036854775808", kMin},
                      Parsed{"-9223372036854777856", std::nullopt}, Parsed{"inf", std::nullopt},
                      Parsed{"-inf", std::nullopt}, Parsed{"nan", std::nullopt},
                      Parsed{"1e400", std::nullopt}, Parsed{"", std::nullopt},
                      Parsed{"+", std::nullopt}, Parsed{"+-1", std::nullopt},
                      Parsed{"64 ", std::nullopt}, Parsed{"sixty", std::nullopt}));

}  // namespace
}  // namespace deskplay::glyphon
