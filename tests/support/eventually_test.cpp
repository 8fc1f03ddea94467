#include "support/eventually.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace deskplay::testing {
namespace {

using std::chrono::milliseconds;

TEST(Eventually, AnswersWhetherTheConditionCameToHold) {
  struct Case {
    std::string name;
    std::optional<int> holdsFromCheck;  // never when empty
    milliseconds timeout;
    bool held;
    std::optional<int> checks;  // exactly, when given
  };
  for (const Case& c : {
           Case{"holds at once", 1, milliseconds(20000), true, 1},
           Case{"holds after a few checks", 4, milliseconds(20000), true, 4},
           Case{"never holds", std::nullopt, milliseconds(50), false, std::nullopt},
           Case{"no time at all still checks once", 1, milliseconds(0), true, 1},
           Case{"no time at all and false", std::nullopt, milliseconds(0), false, 1},
       }) {
    int checks = 0;
    const bool held = eventually(
        [&] {
          ++checks;
          return c.holdsFromCheck && checks >= *c.holdsFromCheck;
        },
        c.timeout);
    EXPECT_EQ(held, c.held) << c.name;
    if (c.checks) {
      EXPECT_EQ(checks, *c.checks) << c.name;
    } else {
      // It kept looking until the time was up, and looked once more at the end.
      EXPECT_GE(checks, 2) << c.name;
    }
  }
}

}  // namespace
}  // namespace deskplay::testing
