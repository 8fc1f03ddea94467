#include "covers/cover_windows.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::glyphon {
namespace {

using platform::Color;
using platform::Rect;
using platform::Screen;
using platform::testing::FakeWindow;
using platform::testing::FakeWindows;
using testing::RecordingLog;

class CoverWindowsTest : public ::testing::Test {
 protected:
  FakeWindow& only() {
    const std::vector<FakeWindow*> live = windows.windows();
    EXPECT_EQ(live.size(), 1u);
    return *live.front();
  }

  FakeWindows windows;
  RecordingLog log;
  CoverWindows covers{windows, log};
};

TEST_F(CoverWindowsTest, ACoverIsAnOpaqueClickTakingWindowJustAboveTheIcons) {
  covers.applyCover(0, 0, 100, 50, "#00ff00", "stage");

  FakeWindow& cover = only();
  EXPECT_EQ(cover.spec().contentRect, (Rect{{0, 850}, {100, 50}}));
  EXPECT_EQ(cover.spec().styleMask, platform::window_style::borderless);
  EXPECT_EQ(cover.spec().kind, platform::WindowSpec::Kind::window);
  EXPECT_EQ(cover.frame(), (Rect{{0, 850}, {100, 50}}));
  EXPECT_TRUE(cover.isVisible());
  EXPECT_EQ(cover.orderFrontCount(), 1);

  platform::WindowTraits expected;
  expected.level = FakeWindows::kDesktopIconLevel + 1;
  expected.background = Color{0, 1, 0, 1};
  expected.opaque = true;
  expected.hasShadow = false;
  expected.ignoresMouseEvents = false;
  expected.acceptsMouseMovedEvents = false;
  expected.movableByWindowBackground = false;
  expected.collectionBehavior = 0x51;
  expected.hidesOnDeactivate = false;
  expected.becomesKeyOrMain = false;
  EXPECT_EQ(cover.traits(), expected);

  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"[ORVEL] cover_set rect=0,850 100x50 color=#00ff00 screen=0 "
                                      "level=-2147483602"}));
}

TEST_F(CoverWindowsTest, SettingAgainMovesResizesAndRecoloursTheOneCover) {
  covers.applyCover(0, 0, 100, 50, "#00ff00", "stage");
  covers.applyCover(10.75, 20.25, 300.5, 40.5, "zz", "stage");

  EXPECT_EQ(windows.createdWindowCount(), 1);
  EXPECT_EQ(covers.coverCount(), 1u);
  FakeWindow& cover = only();
  EXPECT_EQ(cover.frame(), (Rect{{10.75, 839.25}, {300.5, 40.5}}));
  EXPECT_EQ(cover.displayCount(), 1);  // redrawn at once on the move
  EXPECT_EQ(cover.traits().background, (Color{0, 0, 0, 1}));
  EXPECT_EQ(cover.configureCount(), 2);
  EXPECT_EQ(cover.orderFrontCount(), 2);
  EXPECT_EQ(log.lines().back(),
            "[ORVEL] cover_set rect=10,839 300x40 color=zz screen=0 level=-2147483602");
}

TEST_F(CoverWindowsTest, OwnersHaveIndependentCovers) {
  covers.applyCover(0, 0, 10, 10, "#111111", "A");
  covers.applyCover(20, 0, 10, 10, "#222222", "B");
  covers.applyCover(40, 0, 10, 10, "#333333", "stage");
  ASSERT_EQ(windows.windows().size(), 3u);

  covers.clearCover("A");

  EXPECT_EQ(covers.cover("A"), nullptr);
  ASSERT_NE(covers.cover("B"), nullptr);
  EXPECT_TRUE(covers.cover("B")->isVisible());
  EXPECT_EQ(covers.cover("B")->frame(), (Rect{{20, 890}, {10, 10}}));
  EXPECT_NE(covers.cover("stage"), nullptr);
  EXPECT_EQ(windows.windows().size(), 2u);
  EXPECT_EQ(log.lines().back(), "[ORVEL] cover_clear");
}

TEST_F(CoverWindowsTest, ClearingDefaultsToTheStageAndOnlyLogsWithoutACover) {
  covers.clearCover();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"[ORVEL] cover_clear"}));

  covers.applyCover(0, 0, 10, 10, "#000000", "stage");
  covers.clearCover();
  EXPECT_EQ(covers.coverCount(), 0u);
  EXPECT_TRUE(windows.windows().empty());

  covers.applyCover(0, 0, 10, 10, "#000000", "stage");
  EXPECT_EQ(windows.createdWindowCount(), 2);
}

struct ScreenIndexCase {
  std::string name;
  double x;
  double y;
  std::size_t index;
};

TEST_F(CoverWindowsTest, TheLogNamesTheFirstScreenTheCoverTouches) {
  const Rect main{{0, 0}, {1440, 900}};
  const Rect right{{1440, 0}, {1920, 1080}};
  windows.setScreens({Screen{main, main}, Screen{right, right}});
  const ScreenIndexCase cases[] = {
      {"main", 100, 100, 0},
      {"right", 2000, 100, 1},
      {"across both", 1400, 100, 0},
      {"none", -500, 100, 2},
  };
  for (const ScreenIndexCase& c : cases) {
    covers.applyCover(c.x, c.y, 100, 100, "#000000", c.name);
    const std::string& line = log.lines().back();
    EXPECT_NE(line.find(" screen=" + std::to_string(c.index) + " "), std::string::npos)
        << c.name << ": " << line;
  }
}

}  // namespace
}  // namespace deskplay::glyphon
