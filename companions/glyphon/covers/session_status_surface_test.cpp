#include "covers/session_status_surface.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/fake_windows.hpp"

namespace deskplay::glyphon {
namespace {

using platform::testing::FakeStatusPanel;
using platform::testing::FakeWindows;

class SessionStatusSurfaceTest : public ::testing::Test {
 protected:
  FakeStatusPanel& panel() {
    const std::vector<FakeStatusPanel*> panels = windows.statusPanels();
    EXPECT_EQ(panels.size(), 1u);
    return *panels.front();
  }

  FakeWindows windows;
  SessionStatusSurface surface{windows};
};

TEST_F(SessionStatusSurfaceTest, ClearBeforeAnyPhaseMakesNoPanel) {
  surface.showSessionStatus("clear");

  EXPECT_EQ(surface.sessionStatusWindow(), nullptr);
  EXPECT_TRUE(windows.statusPanels().empty());
}

struct PhaseCase {
  std::string phase;
  bool reduceMotion;
  std::string text;
  bool spinnerVisible;
  bool spinnerAnimating;
};

TEST_F(SessionStatusSurfaceTest, EachPhaseShowsItsTextOnTheOnePanel) {
  const PhaseCase cases[] = {
      {"loading", false, "Loading", true, true},
      {"loading", true, "Loading", true, false},
      {"restoring", false, "Goodbye", false, false},
      {"failed", false, "Session error", false, false},
  };
  for (const PhaseCase& c : cases) {
    windows.setReduceMotion(c.reduceMotion);
    surface.showSessionStatus(c.phase);

    FakeStatusPanel& shown = panel();
    EXPECT_TRUE(shown.isVisible()) << c.phase;
    EXPECT_EQ(shown.content().text, c.text) << c.phase;
    EXPECT_EQ(shown.content().spinnerVisible, c.spinnerVisible) << c.phase;
    EXPECT_EQ(shown.content().spinnerAnimating, c.spinnerAnimating) << c.phase;
  }
  EXPECT_EQ(windows.statusPanels().size(), 1u);
}

TEST_F(SessionStatusSurfaceTest, ClearHidesThePanelAndStopsTheSpinnerAndLoadingShowsItAgain) {
  surface.showSessionStatus("loading");
  surface.showSessionStatus("clear");

  EXPECT_FALSE(panel().isVisible());
  EXPECT_FALSE(panel().content().spinnerAnimating);
  ASSERT_NE(surface.sessionStatusWindow(), nullptr);
  EXPECT_FALSE(surface.sessionStatusWindow()->isVisible());

  surface.showSessionStatus("loading");
  EXPECT_TRUE(panel().isVisible());
  EXPECT_TRUE(panel().content().spinnerAnimating);
}

}  // namespace
}  // namespace deskplay::glyphon
