#include "geometry/point_hits_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "geometry/testing/fake_finder_tree.hpp"

namespace deskplay::glyphon {
namespace {

using platform::AccessibilityElement;
using platform::AccessibilityUrl;
using platform::Point;
using testing::FakeFinderTree;

class PointHitsFileTest : public ::testing::Test {
 protected:
  bool hits(Point point, const std::string& path) {
    return pointHitsFile(finder.accessibility, finder.windows, point, path);
  }

  FakeFinderTree finder;
  AccessibilityElement desktop = finder.group(finder.application, "AXScrollArea");
};

TEST_F(PointHitsFileTest, AnIconWithAUrlMatchesItsWholePathOnly) {
  const auto icon = finder.icon(desktop, "My File.png", {100, 100});
  finder.accessibility.setAttribute(icon, "AXURL",
                                    AccessibilityUrl{"file:///h/Desktop/My%20File.png"});
  const auto folder = finder.icon(desktop, "Folder", {300, 100});
  finder.accessibility.setAttribute(folder, "AXURL", AccessibilityUrl{"file:///h/Desktop/Folder/"});

  EXPECT_TRUE(hits({132, 132}, "/h/Desktop/My File.png"));
  EXPECT_TRUE(hits({332, 132}, "/h/Desktop/Folder"));
  // With a URL the name is not looked at.
  EXPECT_FALSE(hits({132, 132}, "My File.png"));
  EXPECT_FALSE(hits({132, 132}, "/elsewhere/My File.png"));
}

TEST_F(PointHitsFileTest, AnIconWithoutAUrlMatchesByNameOrWholePath) {
  finder.icon(desktop, "a.txt", {100, 100});

  EXPECT_TRUE(hits({132, 132}, "/h/Desktop/a.txt"));
  EXPECT_TRUE(hits({132, 132}, "a.txt"));
  EXPECT_FALSE(hits({132, 132}, "/h/Desktop/b.txt"));
  EXPECT_FALSE(hits({132, 132}, "/h/Desktop/A.txt"));
}

TEST_F(PointHitsFileTest, ALabelClimbsToItsIcon) {
  const auto icon = finder.icon(desktop, "a.txt", {100, 100});
  finder.label(icon, {{90, 166}, {84, 16}});

  EXPECT_TRUE(hits({132, 170}, "/h/Desktop/a.txt"));
  EXPECT_FALSE(hits({132, 170}, "/h/Desktop/b.txt"));
}

TEST_F(PointHitsFileTest, GivesUpAfterSixElements) {
  // A chain of plain elements under the icon; the deepest is placed for hit-testing.
  const auto chainUnder = [&](AccessibilityElement top, int length) {
    AccessibilityElement element = top;
    for (int level = 0; level < length; ++level) element = finder.group(element);
    return element;
  };
  const auto near = finder.icon(desktop, "near.txt", {0, 0});
  finder.accessibility.placeElement(chainUnder(near, 5), {{0, 0}, {10, 10}});
  const auto far = finder.icon(desktop, "far.txt", {100, 0});
  finder.accessibility.placeElement(chainUnder(far, 6), {{100, 0}, {10, 10}});

  EXPECT_TRUE(hits({5, 5}, "/h/Desktop/near.txt"));
  EXPECT_FALSE(hits({105, 5}, "/h/Desktop/far.txt"));
}

TEST_F(PointHitsFileTest, FalseWithoutAFinderElementOrAParent) {
  finder.icon(desktop, "a.txt", {100, 100});
  // Another application's window lies over part of the icon.
  const AccessibilityElement other = finder.accessibility.addElement(
      77, {{"AXRole", std::string("AXWindow")}, {"AXFilename", std::string("a.txt")}});
  finder.windows.setRunningApplications(
      {{FakeFinderTree::kFinderProcess, std::string("com.apple.finder"), "Finder"},
       {77, std::string("com.example.cover"), "Cover"}});
  finder.accessibility.placeElement(other, {{150, 150}, {50, 50}});
  // An orphan without name or URL.
  const AccessibilityElement orphan =
      finder.accessibility.addElement(FakeFinderTree::kFinderProcess, {});
  finder.accessibility.placeElement(orphan, {{400, 400}, {10, 10}});
  // A parent attribute that is no element.
  const AccessibilityElement broken = finder.accessibility.addElement(
      FakeFinderTree::kFinderProcess, {{"AXParent", std::string("nobody")}});
  finder.accessibility.placeElement(broken, {{500, 500}, {10, 10}});

  EXPECT_FALSE(hits({155, 155}, "/h/Desktop/a.txt"));
  EXPECT_FALSE(hits({1000, 1000}, "/h/Desktop/a.txt"));
  EXPECT_FALSE(hits({405, 405}, "/h/Desktop/a.txt"));
  EXPECT_FALSE(hits({505, 505}, "/h/Desktop/a.txt"));
}

TEST_F(PointHitsFileTest, FalseWhenFinderIsNotRunning) {
  finder.icon(desktop, "a.txt", {100, 100});
  finder.windows.setRunningApplications({});

  EXPECT_FALSE(hits({132, 132}, "a.txt"));
}

TEST_F(PointHitsFileTest, HitTestsWithThirtyTwoBitCoordinates) {
  finder.icon(desktop, "a.txt", {100, 100});

  EXPECT_TRUE(hits({100.00000001, 132.4}, "a.txt"));
  const std::vector<std::pair<float, float>> expected{{100.0F, 132.4F}};
  EXPECT_EQ(finder.accessibility.hitTests(), expected);
}

}  // namespace
}  // namespace deskplay::glyphon
