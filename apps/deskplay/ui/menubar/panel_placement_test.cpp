#include "ui/menubar/panel_placement.hpp"

#include <gtest/gtest.h>

namespace deskplay::ui {
namespace {

using platform::Rect;
using platform::Screen;

// A 1440 × 900 screen with a 24-point menu bar; the visible frame ends under it.
const Rect kVisible{{0, 0}, {1440, 876}};
const platform::Size kPanel{480, 300};

struct Placement {
  const char* name;
  double buttonX;
  PopUpAlignment alignment;
  ScreenClippingBehaviour clipping;
  double expectedX;
};

class PanelPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(PanelPlacement, StandsUnderTheMenuBarAtItsAlignment) {
  const Placement& row = GetParam();
  const Rect button{{row.buttonX, 876}, {30, 24}};
  const Rect frame = panelFrame(button, kPanel, kVisible, row.alignment, row.clipping);
  EXPECT_DOUBLE_EQ(frame.minX(), row.expectedX);
  EXPECT_DOUBLE_EQ(frame.maxY(), 876) << "the top edge sits at the bottom of the menu bar";
  EXPECT_EQ(frame.size, kPanel);
}

using enum PopUpAlignment;
using enum ScreenClippingBehaviour;

INSTANTIATE_TEST_SUITE_P(
    Table, PanelPlacement,
    ::testing::Values(
        Placement{"left", 600, left, reverseAlignment, 598},
        Placement{"centre", 600, centre, reverseAlignment, 600 + 15 - 240},
        Placement{"right", 600, right, reverseAlignment, 600 + 30 - 480 + 2},
        Placement{"leftNearRightEdgeReverses", 1200, left, reverseAlignment, 1200 + 30 - 480 + 2},
        Placement{"leftNearRightEdgeHugs", 1200, left, hugEdge, 1440 - 480},
        Placement{"rightNearLeftEdgeReverses", 100, right, reverseAlignment, 98},
        Placement{"rightNearLeftEdgeHugs", 100, right, hugEdge, 0},
        Placement{"centreNearLeftEdgeHugs", 10, centre, hugEdge, 0},
        Placement{"centreNearLeftEdgeHasNoMirror", 10, centre, reverseAlignment, 10 + 15 - 240},
        Placement{"leftAtTheVeryLeftHugs", 0, left, hugEdge, 0},
        Placement{"rightAtTheRightEdgeHugs", 1410, right, hugEdge, 960}),
    [](const ::testing::TestParamInfo<Placement>& row) { return std::string(row.param.name); });

TEST(PanelPlacement, APanelWiderThanTheScreenHugsItsLeftEdge) {
  const Rect button{{600, 876}, {30, 24}};
  const Rect frame = panelFrame(button, {2000, 300}, kVisible, left, hugEdge);
  EXPECT_DOUBLE_EQ(frame.minX(), 0);
}

TEST(VisibleFrameAround, IsTheFrameOfTheScreenHoldingTheButton) {
  const Screen main{{{0, 0}, {1440, 900}}, {{0, 0}, {1440, 876}}};
  const Screen second{{{1440, 0}, {800, 600}}, {{1440, 0}, {800, 576}}};
  EXPECT_EQ(visibleFrameAround({{1500, 576}, {30, 24}}, {main, second}), second.visibleFrame);
  EXPECT_EQ(visibleFrameAround({{600, 876}, {30, 24}}, {main, second}), main.visibleFrame);
  EXPECT_EQ(visibleFrameAround({{9000, 9000}, {30, 24}}, {main, second}), main.visibleFrame);
  EXPECT_EQ(visibleFrameAround({{600, 876}, {30, 24}}, {}), std::nullopt);
}

}  // namespace
}  // namespace deskplay::ui
