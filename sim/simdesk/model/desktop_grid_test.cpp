#include "sim/simdesk/model/desktop_grid.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using platform::Point;
using platform::Rect;

const Rect kArea{{0, 24}, {1440, 812}};

TEST(DesktopGridTest, FillsFromTheTopRightDownThenLeft) {
  const DesktopGrid grid(IconViewOptions{}, kArea);
  const Point first = grid.slotCentre(0);
  const Point second = grid.slotCentre(1);
  const Point nextColumn = grid.slotCentre(grid.rows());
  EXPECT_GT(first.x, kArea.maxX() - grid.cellSize().width);
  EXPECT_LT(first.y, kArea.minY() + grid.cellSize().height);
  EXPECT_EQ(second.x, first.x);
  EXPECT_EQ(second.y, first.y + grid.cellSize().height);
  EXPECT_EQ(nextColumn.y, first.y);
  EXPECT_EQ(nextColumn.x, first.x - grid.cellSize().width);
  // The last row still fits the area.
  EXPECT_LE(grid.slotCentre(grid.rows() - 1).y, kArea.maxY());
}

TEST(DesktopGridTest, CellsGrowWithIconSizeSpacingTextAndLabelPosition) {
  IconViewOptions small;
  small.iconSize = 32;
  IconViewOptions large;
  large.iconSize = 128;
  IconViewOptions spaced;
  spaced.gridSpacing = 100;
  IconViewOptions right;
  right.labelPosition = LabelPosition::right;
  const auto base = DesktopGrid(IconViewOptions{}, kArea).cellSize();
  EXPECT_LT(DesktopGrid(small, kArea).cellSize().width, base.width);
  EXPECT_GT(DesktopGrid(large, kArea).cellSize().height, base.height);
  EXPECT_GT(DesktopGrid(spaced, kArea).cellSize().width, base.width);
  EXPECT_GT(DesktopGrid(right, kArea).cellSize().width, base.width);
  EXPECT_LT(DesktopGrid(right, kArea).cellSize().height, base.height);
}

TEST(DesktopGridTest, NearestSlotFindsTheSlotOfPointsNearIt) {
  IconViewOptions right;
  right.labelPosition = LabelPosition::right;
  IconViewOptions tiny;
  tiny.iconSize = 16;
  tiny.gridSpacing = 1;
  for (const IconViewOptions& options : {IconViewOptions{}, right, tiny}) {
    const DesktopGrid grid(options, kArea);
    for (std::size_t slot : {std::size_t{0}, std::size_t{1}, grid.rows() - 1, grid.rows(),
                             grid.rows() * 3 + 2}) {
      const Point centre = grid.slotCentre(slot);
      EXPECT_EQ(grid.nearestSlot(centre), slot);
      EXPECT_EQ(grid.nearestSlot({centre.x + grid.cellSize().width * 0.4,
                                  centre.y - grid.cellSize().height * 0.4}),
                slot);
      EXPECT_EQ(grid.exactSlot(centre), static_cast<long long>(slot));
    }
  }
}

TEST(DesktopGridTest, PointsOutsideTheAreaClampToItsEdges) {
  const DesktopGrid grid(IconViewOptions{}, kArea);
  EXPECT_EQ(grid.nearestSlot({5000, -300}), 0u);
  EXPECT_EQ(grid.nearestSlot({5000, 5000}), grid.rows() - 1);
  EXPECT_EQ(grid.exactSlot({5000, 5000}), -1);
}

}  // namespace
}  // namespace deskplay::simdesk
