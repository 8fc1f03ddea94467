#include "status_panel/session_status_window.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/testing/fake_windows.hpp"

namespace deskplay::status_panel {
namespace {

using platform::Point;
using platform::Rect;
using platform::Screen;
using platform::testing::FakeStatusPanel;
using platform::testing::FakeWindows;

class SessionStatusWindowTest : public ::testing::Test {
 protected:
  FakeStatusPanel& panel() {
    const std::vector<FakeStatusPanel*> panels = windows.statusPanels();
    EXPECT_EQ(panels.size(), 1u);
    return *panels.front();
  }

  FakeWindows windows;
};

TEST_F(SessionStatusWindowTest, BuildsAHiddenNonActivatingClickThroughPanel) {
  SessionStatusWindow window(windows);

  FakeStatusPanel& created = panel();
  EXPECT_EQ(created.spec().contentRect, (Rect{{0, 0}, {280, 96}}));
  EXPECT_EQ(created.spec().styleMask, 0x80u);
  EXPECT_EQ(created.spec().kind, platform::WindowSpec::Kind::panel);
  EXPECT_FALSE(created.isVisible());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.phase(), "");

  platform::WindowTraits expected;
  expected.level = 3;
  expected.background = std::nullopt;
  expected.opaque = false;
  expected.hasShadow = true;
  expected.ignoresMouseEvents = true;
  expected.acceptsMouseMovedEvents = false;
  expected.movableByWindowBackground = false;
  expected.collectionBehavior = 0x151;
  expected.hidesOnDeactivate = false;
  expected.floatingPanel = true;
  expected.canHide = false;
  expected.releasedWhenClosed = false;
  expected.becomesKeyOrMain = false;
  EXPECT_EQ(created.traits(), expected);

  const platform::StatusPanel::Content content = created.content();
  EXPECT_EQ(content.text, "");
  EXPECT_EQ(content.labelFrame, (Rect{{24, 34}, {232, 28}}));
  EXPECT_FALSE(content.spinnerVisible);
  EXPECT_FALSE(content.spinnerAnimating);
}

struct PhaseCase {
  std::string phase;
  bool reduceMotion;
  std::string text;
  bool spinnerVisible;
  bool spinnerAnimating;
};

// Test names in the output, not bytes.
void PrintTo(const PhaseCase& c, std::ostream* os) {
  *os << c.phase << (c.reduceMotion ? " with reduced motion" : "");
}

class SessionStatusWindowPhaseTest : public SessionStatusWindowTest,
                                     public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(SessionStatusWindowPhaseTest, ShowsTheTextAndSpinnerOfThePhase) {
  const PhaseCase& c = GetParam();
  windows.setReduceMotion(c.reduceMotion);
  SessionStatusWindow window(windows);

  window.show(c.phase);

  const platform::StatusPanel::Content content = panel().content();
  EXPECT_EQ(content.text, c.text);
  EXPECT_EQ(content.accessibilityLabel, c.text);
  EXPECT_EQ(content.spinnerVisible, c.spinnerVisible);
  EXPECT_EQ(content.spinnerAnimating, c.spinnerAnimating);
  EXPECT_EQ(window.phase(), c.phase);
  EXPECT_TRUE(panel().isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Phases, SessionStatusWindowPhaseTest,
    ::testing::Values(PhaseCase{"loading", false, "Loading", true, true},
                      PhaseCase{"loading", true, "Loading", true, false},
                      PhaseCase{"restoring", false, "Goodbye", false, false},
                      PhaseCase{"failed", false, "Session error", false, false},
                      PhaseCase{"ready", false, "Session error", false, false},
                      PhaseCase{"", false, "Session error", false, false},
                      PhaseCase{"Loading", false, "Session error", false, false}));

TEST_F(SessionStatusWindowTest, LaysTheSpinnerAndTheMeasuredTextOutAsOneCentredRow) {
  std::vector<std::string> measured;
  windows.setTextWidth([&](std::string_view text, const platform::Font& font) {
    measured.emplace_back(text);
    EXPECT_EQ(font.size, 22);
    EXPECT_EQ(font.weight, platform::FontWeight::semibold);
    return text == "Loading" ? 67.3 : 81.0;
  });
  SessionStatusWindow window(windows);

  // Loading: t = ceil(67.3) + 4 = 72, s = 32, left = (280 - 104) / 2 = 88.
  window.show("loading");
  EXPECT_EQ(panel().content().spinnerFrame, (Rect{{88, 38}, {20, 20}}));
  EXPECT_EQ(panel().content().labelFrame, (Rect{{120, 34}, {72, 28}}));

  // Goodbye: a whole width still gets the slack, t = 85, no spinner slot, left = 97.5.
  window.show("restoring");
  EXPECT_EQ(panel().content().spinnerFrame, (Rect{{97.5, 38}, {20, 20}}));
  EXPECT_EQ(panel().content().labelFrame, (Rect{{97.5, 34}, {85, 28}}));

  EXPECT_EQ(measured, (std::vector<std::string>{"Loading", "Goodbye"}));
}

struct PlacementCase {
  std::string name;
  std::vector<Screen> screens;
  std::optional<Screen> mainScreen;
  Point expectedOrigin;
};

// Test names in the output, not bytes.
void PrintTo(const PlacementCase& c, std::ostream* os) {
  *os << c.name;
}

class SessionStatusWindowPlacementTest : public SessionStatusWindowTest,
                                         public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(SessionStatusWindowPlacementTest, CentresOnThePrimaryScreen) {
  const PlacementCase& c = GetParam();
  windows.setScreens(c.screens);
  windows.setMainScreen(c.mainScreen);
  SessionStatusWindow window(windows);

  window.show("loading");

  EXPECT_EQ(panel().frame().origin, c.expectedOrigin);
  EXPECT_EQ(panel().frame().size, (platform::Size{280, 96}));
}

const Screen kMain{Rect{{0, 0}, {1440, 900}}, Rect{{0, 0}, {1440, 875}}};
const Screen kLeft{Rect{{-1920, 0}, {1920, 1080}}, Rect{{-1920, 0}, {1920, 1080}}};
const Screen kAbove{Rect{{0, 900}, {1000, 600}}, Rect{{0, 900}, {1000, 600}}};

INSTANTIATE_TEST_SUITE_P(
    Screens, SessionStatusWindowPlacementTest,
    ::testing::Values(
        PlacementCase{"OneScreen", {kMain}, std::nullopt, Point{580, 402}},
        // The screen at the origin wins over the first in the list and over the main screen.
        PlacementCase{"OriginScreenSecond", {kLeft, kMain}, kLeft, Point{580, 402}},
        PlacementCase{"NoneAtOriginUsesMainScreen", {kLeft, kAbove}, kAbove, Point{360, 1152}},
        PlacementCase{"NoScreenKeepsThePosition", {}, std::nullopt, Point{0, 0}}),
    [](const ::testing::TestParamInfo<PlacementCase>& param) { return param.param.name; });

TEST_F(SessionStatusWindowTest, ShowBringsThePanelFrontAndDrawsAtOnce) {
  SessionStatusWindow window(windows);

  window.show("restoring");

  EXPECT_EQ(panel().orderFrontCount(), 1);
  EXPECT_GE(panel().displayCount(), 1);
  EXPECT_TRUE(window.isVisible());
}

TEST_F(SessionStatusWindowTest, ReduceMotionStopsAndRestartsTheSpinnerAtOnce) {
  SessionStatusWindow window(windows);
  window.show("loading");
  ASSERT_TRUE(panel().content().spinnerAnimating);

  windows.setReduceMotion(true);
  EXPECT_FALSE(panel().content().spinnerAnimating);
  EXPECT_TRUE(panel().content().spinnerVisible);

  windows.setReduceMotion(false);
  EXPECT_TRUE(panel().content().spinnerAnimating);
}

TEST_F(SessionStatusWindowTest, TheSpinnerTurnsOnlyWhileThePanelIsVisible) {
  SessionStatusWindow window(windows);

  window.setMessage("loading");
  EXPECT_TRUE(panel().content().spinnerVisible);
  EXPECT_FALSE(panel().content().spinnerAnimating);
  EXPECT_FALSE(panel().isVisible());

  window.show("loading");
  window.orderOut();
  EXPECT_FALSE(panel().content().spinnerAnimating);
  EXPECT_FALSE(panel().isVisible());

  // A display-options notice while hidden leaves it still.
  windows.setReduceMotion(false);
  EXPECT_FALSE(panel().content().spinnerAnimating);

  window.show("loading");
  EXPECT_TRUE(panel().content().spinnerAnimating);
  EXPECT_TRUE(panel().isVisible());
}

TEST_F(SessionStatusWindowTest, LeavingLoadingStopsTheSpinner) {
  SessionStatusWindow window(windows);
  window.show("loading");

  window.show("restoring");

  EXPECT_FALSE(panel().content().spinnerVisible);
  EXPECT_FALSE(panel().content().spinnerAnimating);
}

TEST_F(SessionStatusWindowTest, StopsObservingDisplayOptionsWhenDestroyed) {
  {
    SessionStatusWindow window(windows);
    EXPECT_EQ(windows.displayOptionObserverCount(), 1);
  }
  EXPECT_EQ(windows.displayOptionObserverCount(), 0);
  EXPECT_TRUE(windows.statusPanels().empty());
  windows.setReduceMotion(true);
}

TEST_F(SessionStatusWindowTest, EachWindowHasItsOwnPanel) {
  SessionStatusWindow first(windows);
  SessionStatusWindow second(windows);
  first.show("loading");

  ASSERT_EQ(windows.statusPanels().size(), 2u);
  EXPECT_TRUE(windows.statusPanels()[0]->isVisible());
  EXPECT_FALSE(windows.statusPanels()[1]->isVisible());
}

}  // namespace
}  // namespace deskplay::status_panel
