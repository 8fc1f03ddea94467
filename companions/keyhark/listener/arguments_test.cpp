#include "listener/arguments.hpp"

#include <gtest/gtest.h>

namespace deskplay::keyhark {
namespace {

TEST(ModeFromArguments, PicksTheModeFromExactFlagsAnywhere) {
  struct Case {
    std::vector<std::string> arguments;
    Mode mode;
  };
  const Case cases[] = {
      {{}, Mode::keyboard},
      {{"--mouse-only"}, Mode::mouse},
      {{"extra", "--mouse-only"}, Mode::mouse},
      {{"--check"}, Mode::permissionCheck},
      {{"--mouse-only", "--check"}, Mode::permissionCheck},
      {{"--check", "--mouse-only"}, Mode::permissionCheck},
      {{"--mouse"}, Mode::keyboard},
      {{"--mouse-only=1"}, Mode::keyboard},
      {{"--CHECK"}, Mode::keyboard},
      {{"-check"}, Mode::keyboard},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(modeFromArguments(c.arguments), c.mode) << ::testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace deskplay::keyhark
