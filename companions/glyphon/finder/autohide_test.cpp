#include "finder/autohide.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::testing::failsWith;
using ::testing::ElementsAre;
using testing::FinderRig;

TEST(Autohide, SetsDockAndMenuBarThroughSystemEvents) {
  FinderRig rig;
  EXPECT_EQ(setAutohideDock(rig.scripts, true), std::nullopt);
  EXPECT_EQ(setAutohideMenuBar(rig.scripts, false), std::nullopt);
  EXPECT_THAT(
      rig.host.runs(),
      ElementsAre(
          "tell application \"System Events\" to set the dock preferences's autohide to true",
          "tell application \"System Events\" to tell dock preferences to set autohide menu bar "
          "to false"));
}

TEST(Autohide, GivesTheScriptError) {
  FinderRig rig;
  rig.host.setFallbackAnswer(failsWith("System Events got an error: Not authorized.", -1743));
  EXPECT_EQ(setAutohideDock(rig.scripts, false), "System Events got an error: Not authorized.");
  EXPECT_EQ(setAutohideMenuBar(rig.scripts, true), "System Events got an error: Not authorized.");
}

}  // namespace
}  // namespace deskplay::glyphon
