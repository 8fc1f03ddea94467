#include "motion/position_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::glyphon {
namespace {

struct TextCase {
  std::string name;
  std::string text;
  std::optional<MotionPoint> expected;
};

class IconPositionInTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(IconPositionInTextTest, FindsTheFirstUsableLineOfTheName) {
  EXPECT_EQ(iconPositionInText(GetParam().text, "a.txt"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IconPositionInTextTest,
    ::testing::Values(
        TextCase{"Plain", "b\t1\t2\t64\t64\na.txt\t132\t239\t64\t77", MotionPoint{132, 239}},
        TextCase{"FirstOfTwo", "a.txt\t1\t2\t3\t4\na.txt\t5\t6\t7\t8", MotionPoint{1, 2}},
        TextCase{"ThreeFieldsAreEnough", "a.txt\t-5\t7.5", MotionPoint{-5, 7.5}},
        TextCase{"EmptyLinesAndFieldsDropped", "\n\n\ta.txt\t\t10\t\t20\n", MotionPoint{10, 20}},
        TextCase{"UnparsableLineSkipped", "a.txt\tx\t2\t3\t4\na.txt\t3\t4", MotionPoint{3, 4}},
        TextCase{"TrailingTextIsNotANumber", "a.txt\t3px\t4", std::nullopt},
        TextCase{"NotANumberIsNone", "a.txt\tnan\t4", std::nullopt},
        TextCase{"TooFewFields", "a.txt\t3", std::nullopt},
        TextCase{"NameMustMatchExactly", "A.txt\t1\t2\na.txt.bak\t1\t2", std::nullopt},
        TextCase{"Empty", "", std::nullopt}),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace deskplay::glyphon
