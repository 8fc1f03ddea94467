#include "geometry/icon_positions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/testing/fake_finder_tree.hpp"

namespace deskplay::glyphon {
namespace {

using platform::Point;
using platform::Size;
using testing::FakeFinderTree;

class IconPositionsTest : public ::testing::Test {
 protected:
  std::string positions() { return readDesktopIconPositions(finder.accessibility, finder.windows); }
  std::optional<Point> centreOf(std::string_view name) {
    return iconScreenCenter(finder.accessibility, finder.windows, name);
  }

  FakeFinderTree finder;
  platform::AccessibilityElement desktop = finder.group(finder.application, "AXScrollArea");
};

TEST_F(IconPositionsTest, ListsCentresAndSizesRoundedHalfAwayFromZero) {
  finder.icon(desktop, "a.txt", {100, 200}, {64, 77});
  finder.icon(desktop, "My File.png", {-100, -200}, {64, 77});

  EXPECT_EQ(positions(), "a.txt\t132\t239\t64\t77\nMy File.png\t-68\t-162\t64\t77");
  EXPECT_EQ(centreOf("a.txt"), (Point{132, 238.5}));
}

TEST_F(IconPositionsTest, SameNameTwiceIsListedTwiceAndTheFirstReachedBreadthFirstIsTheCentre) {
  // A Finder window lists "dup" three levels down; the desktop shows it two levels down. The
  // window comes first among Finder's children, so only a breadth-first walk meets the
  // desktop's icon first.
  const auto window = finder.group(finder.application, "AXWindow");
  const auto list = finder.group(window, "AXScrollArea");
  finder.icon(list, "dup", {500, 500}, {16, 16});
  const auto desktopArea = finder.group(finder.application);
  finder.icon(desktopArea, "dup", {10, 10});

  EXPECT_EQ(positions(), "dup\t42\t42\t64\t64\ndup\t508\t508\t16\t16");
  EXPECT_EQ(centreOf("dup"), (Point{42, 42}));
}

TEST_F(IconPositionsTest, ElementsWithoutPositionOrSizeAreSkipped) {
  const auto sizeless = finder.icon(desktop, "b.txt", {0, 0});
  finder.accessibility.setAttribute(sizeless, "AXSize", platform::AttributeValue{});
  const auto positionless = finder.icon(desktop, "c.txt", {0, 0});
  finder.accessibility.setAttribute(positionless, "AXPosition", std::string("not a point"));
  const auto notANumber = finder.icon(desktop, "d.txt", {0, 0});
  finder.accessibility.setAttribute(notANumber, "AXPosition",
                                    Point{std::numeric_limits<double>::quiet_NaN(), 0});
  finder.icon(desktop, "b.txt", {200, 0});

  EXPECT_EQ(positions(), "b.txt\t232\t32\t64\t64");
  EXPECT_EQ(centreOf("b.txt"), (Point{232, 32}));
  EXPECT_EQ(centreOf("c.txt"), std::nullopt);
  EXPECT_EQ(centreOf("d.txt"), std::nullopt);
}

TEST_F(IconPositionsTest, NamesMatchExactly) {
  finder.icon(desktop, "Notes.txt", {0, 0});

  EXPECT_EQ(centreOf("notes.txt"), std::nullopt);
  EXPECT_EQ(centreOf("Notes"), std::nullopt);
  EXPECT_EQ(centreOf(""), std::nullopt);
}

TEST_F(IconPositionsTest, NeitherTheMenuBarNorWhatLiesBelowAnIconIsSearched) {
  const auto menuBar = finder.group(finder.application, "AXMenuBar");
  finder.icon(menuBar, "in-menu", {0, 0});
  const auto icon = finder.icon(desktop, "a.txt", {0, 0});
  finder.icon(icon, "below-icon", {100, 100});

  EXPECT_EQ(positions(), "a.txt\t32\t32\t64\t64");
  EXPECT_EQ(centreOf("in-menu"), std::nullopt);
  EXPECT_EQ(centreOf("below-icon"), std::nullopt);
}

TEST_F(IconPositionsTest, AWalkLooksAtNoMoreThanFiveThousandElements) {
  // The scroll area is element 1; the icon is element `before + 2`.
  for (int filler = 0; filler < 4998; ++filler) finder.group(finder.application);
  finder.icon(finder.application, "last-seen", {0, 0});
  finder.icon(finder.application, "never-seen", {0, 0});

  EXPECT_EQ(positions(), "last-seen\t32\t32\t64\t64");
  EXPECT_TRUE(centreOf("last-seen"));
  EXPECT_EQ(centreOf("never-seen"), std::nullopt);
}

TEST_F(IconPositionsTest, NothingWhenFinderIsNotRunning) {
  finder.icon(desktop, "a.txt", {0, 0});
  finder.windows.setRunningApplications(
      {{FakeFinderTree::kFinderProcess, std::string("com.apple.dock"), "Dock"}});

  EXPECT_EQ(positions(), "");
  EXPECT_EQ(centreOf("a.txt"), std::nullopt);
}

}  // namespace
}  // namespace deskplay::glyphon
