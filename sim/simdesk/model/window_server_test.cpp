#include "sim/simdesk/model/window_server.hpp"

#include <gtest/gtest.h>

#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

using platform::Rect;

class WindowServerTest : public ::testing::Test {
 protected:
  WindowServerTest() { applications_.registerClient(kGlyphon, "Glyphon"); }

  std::uint32_t shown(int level, const Rect& frame, bool canHide = true) {
    const std::uint32_t number = server_.createWindow(kGlyphon, platform::WindowSpec{frame});
    platform::WindowTraits traits;
    traits.level = level;
    traits.canHide = canHide;
    EXPECT_TRUE(server_.configure(number, traits).ok());
    EXPECT_TRUE(server_.orderFront(number).ok());
    return number;
  }

  std::vector<std::uint32_t> ourWindowList() {
    std::vector<std::uint32_t> numbers;
    for (const auto& info : server_.onScreenWindowList()) {
      if (info.ownerProcess == kGlyphon) numbers.push_back(info.number);
    }
    return numbers;
  }

  static constexpr platform::ProcessId kGlyphon = 500;
  Screens screens_;
  Applications applications_;
  WindowServer server_{screens_, applications_};
};

TEST_F(WindowServerTest, NewWindowsStayHiddenUntilOrderedFront) {
  const std::uint32_t number =
      server_.createWindow(kGlyphon, platform::WindowSpec{Rect{{0, 0}, {10, 10}}});
  EXPECT_TRUE(ourWindowList().empty());
  ASSERT_TRUE(server_.orderFront(number).ok());
  EXPECT_EQ(ourWindowList(), std::vector<std::uint32_t>{number});
  ASSERT_TRUE(server_.orderOut(number).ok());
  EXPECT_TRUE(ourWindowList().empty());
  EXPECT_FALSE(server_.orderFront(9999).ok());
}

TEST_F(WindowServerTest, ListIsFrontToBackByLevelThenOrder) {
  const auto cover = shown(levels::desktopIcon + 1, Rect{{0, 0}, {100, 100}});
  const auto panel = shown(levels::floating, Rect{{0, 0}, {280, 96}});
  const auto second = shown(levels::desktopIcon + 1, Rect{{10, 10}, {100, 100}});
  EXPECT_EQ(ourWindowList(), (std::vector<std::uint32_t>{panel, second, cover}));
  ASSERT_TRUE(server_.orderFront(cover).ok());
  EXPECT_EQ(ourWindowList(), (std::vector<std::uint32_t>{panel, cover, second}));
}

TEST_F(WindowServerTest, WindowListCarriesOwnersLayersAndTopLeftBounds) {
  shown(levels::desktopIcon + 1, Rect{{0, 850}, {100, 50}});
  const auto list = server_.onScreenWindowList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].ownerName, "Window Server");
  EXPECT_EQ(list[0].layer, levels::mainMenu);
  EXPECT_EQ(list[1].ownerName, "Dock");
  EXPECT_EQ(list[2].ownerName, "Glyphon");
  EXPECT_EQ(list[2].layer, levels::desktopIcon + 1);
  EXPECT_EQ(list[2].bounds, (Rect{{0, 0}, {100, 50}}));

  screens_.setDockAutohide(Autohide::on);
  screens_.setMenuBarAutohide(Autohide::on);
  EXPECT_EQ(server_.onScreenWindowList().size(), 1u);
}

TEST_F(WindowServerTest, HiddenApplicationsTakeTheirWindowsAlongUnlessTheyCannotHide) {
  const auto cover = shown(levels::desktopIcon + 1, Rect{{0, 0}, {10, 10}});
  const auto panel = shown(levels::floating, Rect{{0, 0}, {10, 10}}, /*canHide=*/false);
  applications_.setVisible(kGlyphon, false);
  EXPECT_EQ(ourWindowList(), std::vector<std::uint32_t>{panel});
  applications_.setVisible(kGlyphon, true);
  EXPECT_EQ(ourWindowList(), (std::vector<std::uint32_t>{panel, cover}));
}

TEST_F(WindowServerTest, ClosingAndLeaving) {
  const auto a = shown(0, Rect{{0, 0}, {10, 10}});
  shown(0, Rect{{0, 0}, {10, 10}});
  ASSERT_TRUE(server_.close(a).ok());
  EXPECT_EQ(server_.window(a), nullptr);
  EXPECT_FALSE(server_.close(a).ok());
  server_.closeAllOf(kGlyphon);
  EXPECT_TRUE(server_.windowsOf(kGlyphon).empty());
}

TEST_F(WindowServerTest, StatusContentIsKept) {
  const auto panel = server_.createWindow(kGlyphon, platform::WindowSpec{Rect{{0, 0}, {280, 96}}},
                                          WindowRole::statusPanel);
  platform::StatusPanel::Content content;
  content.text = "Loading";
  content.spinnerVisible = true;
  ASSERT_TRUE(server_.setStatusContent(panel, content).ok());
  EXPECT_EQ(server_.window(panel)->statusContent, content);
  EXPECT_EQ(server_.window(panel)->role, WindowRole::statusPanel);
}

TEST(WindowLevelsTest, DesktopIconLevelHasMacOSNumber) {
  EXPECT_EQ(levelForKey(platform::WindowLevelKey::desktopIcon), -2147483603);
}

}  // namespace
}  // namespace deskplay::simdesk
