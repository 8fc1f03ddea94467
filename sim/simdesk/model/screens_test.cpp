#include "sim/simdesk/model/screens.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using platform::Rect;
using platform::Size;

TEST(ScreensTest, DefaultIsOneMainScreenWithMenuBarAndDock) {
  Screens screens;
  const auto all = screens.screens();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].frame, (Rect{{0, 0}, {1440, 900}}));
  EXPECT_EQ(all[0].visibleFrame,
            (Rect{{0, Screens::kDockHeight}, {1440, 900 - 24 - Screens::kDockHeight}}));
}

struct AutohideCase {
  Autohide dock;
  Autohide menuBar;
  Rect visible;
  bool menuBarShown;
  bool dockShown;
};

TEST(ScreensTest, AutohideGivesBackTheSpaceOfMenuBarAndDock) {
  const double dock = Screens::kDockHeight;
  const AutohideCase cases[] = {
      {Autohide::off, Autohide::off, {{0, dock}, {1440, 900 - 24 - dock}}, true, true},
      {Autohide::on, Autohide::off, {{0, 0}, {1440, 900 - 24}}, true, false},
      {Autohide::off, Autohide::on, {{0, dock}, {1440, 900 - dock}}, false, true},
      {Autohide::on, Autohide::on, {{0, 0}, {1440, 900}}, false, false},
  };
  for (const AutohideCase& c : cases) {
    Screens screens;
    screens.setDockAutohide(c.dock);
    screens.setMenuBarAutohide(c.menuBar);
    EXPECT_EQ(screens.mainScreen()->visibleFrame, c.visible);
    EXPECT_EQ(screens.menuBarFrame().has_value(), c.menuBarShown);
    EXPECT_EQ(screens.dockFrame().has_value(), c.dockShown);
  }
}

TEST(ScreensTest, SecondScreenSitsRightOfTheMainOneTopAligned) {
  Screens screens;
  screens.setSizes({Size{1440, 900}, Size{1920, 1080}});
  const auto all = screens.screens();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].frame, (Rect{{1440, -180}, {1920, 1080}}));
  // Menu bar and Dock live on the main screen only.
  EXPECT_EQ(all[1].visibleFrame, all[1].frame);
  EXPECT_EQ(screens.toTopLeft(all[1].frame), (Rect{{1440, 0}, {1920, 1080}}));
}

TEST(ScreensTest, NoScreensAtAll) {
  Screens screens;
  screens.setSizes({});
  EXPECT_TRUE(screens.screens().empty());
  EXPECT_FALSE(screens.mainScreen());
  EXPECT_FALSE(screens.menuBarFrame());
  EXPECT_EQ(screens.flipHeight(), 0);
}

TEST(ScreensTest, FlipsBetweenTheTwoOrigins) {
  Screens screens;
  // A cover at the top left, 100 × 50, sits at y 850 in bottom-left coordinates.
  EXPECT_EQ(screens.toBottomLeft(Rect{{0, 0}, {100, 50}}), (Rect{{0, 850}, {100, 50}}));
  EXPECT_EQ(screens.toTopLeft(Rect{{0, 850}, {100, 50}}), (Rect{{0, 0}, {100, 50}}));
}

TEST(ScreensTest, ListenersHearOfChangesOnly) {
  Screens screens;
  int calls = 0;
  screens.addChangeListener([&] { ++calls; });
  screens.setDockAutohide(Autohide::off);
  EXPECT_EQ(calls, 0);
  screens.setDockAutohide(Autohide::on);
  screens.setSizes({Size{800, 600}});
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace deskplay::simdesk
