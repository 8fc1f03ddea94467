#include "protocol/whole_number_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace deskplay::glyphon {
namespace {

TEST(RoundedCoordinateTest, RoundsHalvesAwayFromZeroAndNeverGivesMinusZero) {
  const std::vector<std::pair<double, std::string>> cases = {{0.5, "1"},
                                                             {-0.5, "-1"},
                                                             {2.5, "3"},
                                                             {-2.5, "-3"},
                                                             {-0.4, "0"},
                                                             {1.49, "1"},
                                                             {1e20, "100000000000000000000"},
                                                             {-0.0, "0"}};
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(wholeNumberText(roundedCoordinate(value)), text) << value;
  }
}

struct RoundingCase {
  double value;
  std::string rounded;
  std::string truncated;
};

TEST(IntegerTextTest, RoundsHalvesAwayFromZeroAndTruncatesTowardZero) {
  const RoundingCase cases[] = {
      {238.5, "239", "238"},
      {-238.5, "-239", "-238"},
      {10.9, "11", "10"},
      {-0.4, "0", "0"},
      {-0.5, "-1", "0"},
      {0.0, "0", "0"},
      {20.2, "20", "20"},
      {-3.7, "-4", "-3"},
      {1e15 + 0.5, "1000000000000001", "1000000000000000"},
  };
  for (const RoundingCase& c : cases) {
    EXPECT_EQ(roundedIntegerText(c.value), c.rounded) << c.value;
    EXPECT_EQ(truncatedIntegerText(c.value), c.truncated) << c.value;
  }
}

}  // namespace
}  // namespace deskplay::glyphon
