#include "sim/simdesk/model/accessibility_tree.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

using platform::AccessibilityElement;
using platform::AccessibilityUrl;
using platform::Point;
using platform::Size;
using testing::DesktopFixture;

struct FoundIcon {
  std::string name;
  Point position;
  Size size;
};

class AccessibilityTreeTest : public DesktopFixture {
 protected:
  AccessibilityTree& ax() { return desktop().accessibility(); }

  template <class T>
  std::optional<T> get(AccessibilityElement element, std::string_view name) {
    auto value = ax().attribute(element, name);
    if (auto* typed = std::get_if<T>(&value)) return *typed;
    return std::nullopt;
  }

  std::vector<AccessibilityElement> children(AccessibilityElement element) {
    auto value = ax().attribute(element, "AXChildren");
    if (auto* list = std::get_if<std::vector<AccessibilityElement>>(&value)) return *list;
    return {};
  }

  // The walk Finder's clients make: breadth first from the application's children, the
  // menu bar left out, named elements not descended into.
  std::vector<FoundIcon> walk(std::size_t limit = 5000) {
    std::vector<FoundIcon> found;
    auto app = ax().applicationElement(*finder().pid());
    if (!app) return found;
    std::deque<AccessibilityElement> queue;
    for (auto child : children(*app)) {
      if (get<std::string>(child, "AXRole") != "AXMenuBar") queue.push_back(child);
    }
    std::size_t examined = 0;
    while (!queue.empty() && examined < limit) {
      const AccessibilityElement element = queue.front();
      queue.pop_front();
      ++examined;
      if (auto name = get<std::string>(element, "AXFilename")) {
        auto position = get<Point>(element, "AXPosition");
        auto size = get<Size>(element, "AXSize");
        if (position && size) found.push_back({*name, *position, *size});
        continue;
      }
      for (auto child : children(element)) queue.push_back(child);
    }
    return found;
  }

  std::uint32_t cover(const platform::Rect& topLeft, bool clickThrough) {
    desktop().clientConnected(900, "Glyphon");
    auto& server = desktop().windowServer();
    const auto number = server.createWindow(
        900, platform::WindowSpec{desktop().screens().toBottomLeft(topLeft)});
    platform::WindowTraits traits;
    traits.level = levels::desktopIcon + 1;
    traits.ignoresMouseEvents = clickThrough;
    EXPECT_TRUE(server.configure(number, traits).ok());
    EXPECT_TRUE(server.orderFront(number).ok());
    return number;
  }
};

TEST_F(AccessibilityTreeTest, TheWalkFindsEveryIconWithItsFrame) {
  addFile("a.txt");
  addFolder("Folder");
  addFile("My File.png");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("a.txt"), {132, 239}).ok());
  const auto found = walk();
  ASSERT_EQ(found.size(), 3u);
  std::set<std::string> names;
  for (const auto& icon : found) names.insert(icon.name);
  EXPECT_EQ(names, (std::set<std::string>{"a.txt", "Folder", "My File.png"}));
  for (const auto& icon : found) {
    const Point centre{icon.position.x + icon.size.width / 2,
                       icon.position.y + icon.size.height / 2};
    EXPECT_EQ(centre, item(icon.name).position) << icon.name;
    EXPECT_EQ(icon.size, (Size{64, 64}));
  }
}

TEST_F(AccessibilityTreeTest, IconsCarryUrlTitleAndALabelChildWhoseParentIsTheIcon) {
  addFolder("Folder");
  addFile("My File.png");
  auto icon = ax().elementAtPoint(item("My File.png").position);
  ASSERT_TRUE(icon);
  EXPECT_EQ(get<std::string>(*icon, "AXRole"), "AXImage");
  EXPECT_EQ(get<AccessibilityUrl>(*icon, "AXURL")->text,
            "file://" + onDesktop("My%20File.png").string());
  EXPECT_EQ(get<std::string>(*icon, "AXTitle"), "My File.png");
  auto folder = ax().elementAtPoint(item("Folder").position);
  EXPECT_EQ(get<AccessibilityUrl>(*folder, "AXURL")->text.back(), '/');

  const auto labels = children(*icon);
  ASSERT_EQ(labels.size(), 1u);
  const AccessibilityElement label = labels[0];
  EXPECT_EQ(get<std::string>(label, "AXRole"), "AXStaticText");
  EXPECT_EQ(get<AccessibilityElement>(label, "AXParent"), *icon);
  EXPECT_FALSE(get<std::string>(label, "AXFilename"));
  EXPECT_FALSE(get<AccessibilityUrl>(label, "AXURL"));
  // Hit-testing the label gives the label, which leads to its icon.
  const Point labelPoint = *get<Point>(label, "AXPosition");
  const Size labelSize = *get<Size>(label, "AXSize");
  EXPECT_EQ(ax().elementAtPoint({labelPoint.x + labelSize.width / 2,
                                 labelPoint.y + labelSize.height / 2}),
            label);
  EXPECT_EQ(ax().processOf(label), finder().pid());
}

TEST_F(AccessibilityTreeTest, ACoverAboveAnIconHidesItUnlessItLetsClicksThrough) {
  addFile("under.txt");
  const Point centre = item("under.txt").position;
  const auto number = cover({{centre.x - 50, centre.y - 50}, {100, 100}}, false);
  auto hit = ax().elementAtPoint(centre);
  ASSERT_TRUE(hit);
  EXPECT_EQ(get<std::string>(*hit, "AXRole"), "AXWindow");
  EXPECT_EQ(ax().processOf(*hit), 900);
  EXPECT_FALSE(get<std::string>(*hit, "AXFilename"));

  platform::WindowTraits traits = desktop().windowServer().window(number)->traits;
  traits.ignoresMouseEvents = true;
  ASSERT_TRUE(desktop().windowServer().configure(number, traits).ok());
  hit = ax().elementAtPoint(centre);
  EXPECT_EQ(get<std::string>(*hit, "AXFilename"), "under.txt");
}

TEST_F(AccessibilityTreeTest, PointsOutsideIconsFindTheDesktopMenuBarOrDock) {
  addFile("a");
  auto desktopElement = ax().elementAtPoint({20, 400});
  ASSERT_TRUE(desktopElement);
  EXPECT_EQ(get<std::string>(*desktopElement, "AXRole"), "AXScrollArea");
  EXPECT_EQ(ax().processOf(*desktopElement), finder().pid());

  auto menu = ax().elementAtPoint({30, 10});
  ASSERT_TRUE(menu);
  EXPECT_EQ(get<std::string>(*menu, "AXRole"), "AXMenuBarItem");
  auto dock = ax().elementAtPoint({720, 890});
  ASSERT_TRUE(dock);
  EXPECT_EQ(ax().processOf(*dock), Applications::kDockPid);
  EXPECT_FALSE(ax().elementAtPoint({-5, 400}));

  desktop().systemEvents().setMenuBarAutohide(true);
  EXPECT_EQ(get<std::string>(*ax().elementAtPoint({30, 10}), "AXRole"), "AXScrollArea");
  ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
  EXPECT_FALSE(ax().elementAtPoint({20, 400}));
}

TEST_F(AccessibilityTreeTest, HandlesDieWithTheirElements) {
  addFile("gone.txt");
  auto icon = ax().elementAtPoint(item("gone.txt").position);
  ASSERT_TRUE(icon);
  std::filesystem::remove(onDesktop("gone.txt"));
  finder().refresh();
  EXPECT_TRUE(std::holds_alternative<std::monostate>(ax().attribute(*icon, "AXRole")));
  EXPECT_FALSE(ax().processOf(*icon));
  EXPECT_FALSE(ax().processOf(AccessibilityElement{0}));
  EXPECT_FALSE(ax().processOf(AccessibilityElement{~std::uint64_t{0}}));
}

TEST_F(AccessibilityTreeTest, FinderWindowItemsComeAfterDesktopIconsBreadthFirst) {
  addFile("same.txt");
  finder().reveal({onDesktop("same.txt")});
  const auto found = walk();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "same.txt");
  EXPECT_EQ(found[0].position, (Point{item("same.txt").position.x - 32,
                                      item("same.txt").position.y - 32}));
  EXPECT_EQ(found[1].name, "same.txt");
}

TEST_F(AccessibilityTreeTest, AFullDesktopWalksWhole) {
  // Hard links to one file: creating 5000 inodes costs the file system seconds.
  const auto source = home() / "source";
  deskplay::testing::writeFile(source, "");
  for (int i = 0; i < 5000; ++i) {
    std::filesystem::create_hard_link(source, onDesktop("f" + std::to_string(i)));
  }
  const auto found = walk(6000);
  EXPECT_EQ(found.size(), 5000u);
  auto app = *ax().applicationElement(*finder().pid());
  EXPECT_EQ(get<std::string>(app, "AXRole"), "AXApplication");
  EXPECT_EQ(get<std::string>(app, "AXTitle"), "Finder");
}

}  // namespace
}  // namespace deskplay::simdesk
