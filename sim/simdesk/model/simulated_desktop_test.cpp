#include "sim/simdesk/model/simulated_desktop.hpp"

#include <gtest/gtest.h>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

class SimulatedDesktopTest : public testing::DesktopFixture {};

TEST_F(SimulatedDesktopTest, AClientThatLeavesTakesItsWindowsAlong) {
  desktop().clientConnected(321, "Glyphon");
  auto& server = desktop().windowServer();
  const auto number = server.createWindow(321, platform::WindowSpec{{{0, 0}, {10, 10}}});
  ASSERT_TRUE(server.orderFront(number).ok());
  desktop().applications().activate(321);
  desktop().clientDisconnected(321);
  EXPECT_EQ(server.window(number), nullptr);
  EXPECT_EQ(desktop().applications().byPid(321), nullptr);
  EXPECT_EQ(desktop().applications().frontmostApplication()->localizedName, "Finder");
}

TEST_F(SimulatedDesktopTest, StateCoversEveryPart) {
  addFile("a.txt");
  desktop().clientConnected(321, "Glyphon");
  auto& server = desktop().windowServer();
  const auto number = server.createWindow(321, platform::WindowSpec{{{0, 850}, {100, 50}}});
  platform::WindowTraits traits;
  traits.level = levels::desktopIcon + 1;
  traits.background = platform::Color{1, 0, 0, 1};
  ASSERT_TRUE(server.configure(number, traits).ok());
  ASSERT_TRUE(server.orderFront(number).ok());
  desktop().privacy().revoke(PrivacyService::inputMonitoring, "Keyhark");
  desktop().systemEvents().setDockAutohide(true);

  const nlohmann::json state = desktop().stateJson();
  EXPECT_EQ(state["screens"].size(), 1u);
  EXPECT_EQ(state["dockAutohide"], true);
  EXPECT_EQ(state["frontmost"], "Finder");
  EXPECT_EQ(state["finder"]["state"], "running");
  ASSERT_EQ(state["finder"]["items"].size(), 1u);
  EXPECT_EQ(state["finder"]["items"][0]["name"], "a.txt");
  EXPECT_EQ(state["finder"]["iconViewOptions"]["arrangement"], "not arranged");
  ASSERT_EQ(state["windows"].size(), 1u);
  EXPECT_EQ(state["windows"][0]["bounds"]["y"], 0);
  EXPECT_EQ(state["windows"][0]["background"]["red"], 1);
  EXPECT_EQ(state["privacy"]["revokedInputMonitoring"][0], "Keyhark");
  bool listed = false;
  for (const auto& info : state["windowList"]) listed |= info["ownerName"] == "Glyphon";
  EXPECT_TRUE(listed);
  EXPECT_EQ(state["desktop"]["picture"], SystemEvents::kDefaultDesktopPicture);
}

// Displays given at start are in place before Finder lays out the icons already on the
// desktop: each icon lands on the screen there is, whatever its size, and the pointer starts
// in the middle of the main screen.
TEST_F(SimulatedDesktopTest, IconsAndPointerAtStartAreOnTheScreensGiven) {
  const std::vector<platform::Size> sizes[] = {{{800, 600}}, {{640, 480}, {1440, 900}}};
  for (const auto& screens : sizes) {
    SCOPED_TRACE(screens.front().width);
    // A home of its own: no positions remembered from another case.
    const deskplay::testing::TempDir fresh;
    std::filesystem::create_directories(fresh.path() / "Desktop");
    for (const char* name : {"a.txt", "b.txt"}) {
      deskplay::testing::writeFile(fresh.path() / "Desktop" / name, "x");
    }
    SimulatedDesktop started(
        SimulatedDesktop::Options{fresh.path(), &clock_, measure_, Finder::Watching::manual},
        screens);
    const platform::Rect area = started.screens().desktopArea();
    ASSERT_EQ(area.size.width, screens.front().width);
    EXPECT_EQ(started.events().pointer(),
              (platform::Point{screens.front().width / 2, screens.front().height / 2}));
    for (const char* name : {"a.txt", "b.txt"}) {
      const DesktopItem* placed = started.finder().itemNamed(name);
      ASSERT_NE(placed, nullptr) << name;
      const platform::Rect frame = started.finder().iconFrame(*placed);
      EXPECT_GE(frame.origin.x, area.origin.x) << name;
      EXPECT_LE(frame.origin.x + frame.size.width, area.origin.x + area.size.width) << name;
      EXPECT_GE(frame.origin.y, area.origin.y) << name;
      EXPECT_LE(frame.origin.y + frame.size.height, area.origin.y + area.size.height) << name;
    }
  }
}

TEST_F(SimulatedDesktopTest, ProcessVisibilityThroughSystemEvents) {
  desktop().clientConnected(321, "Deskplay");
  auto& events = desktop().systemEvents();
  EXPECT_EQ(events.processVisible("Deskplay"), true);
  ASSERT_TRUE(events.setProcessVisible("Deskplay", false).ok());
  EXPECT_EQ(events.processVisible("Deskplay"), false);
  EXPECT_FALSE(events.processVisible("Nobody"));
  EXPECT_FALSE(events.setProcessVisible("Nobody", false).ok());
  const auto names = events.processNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "Finder"), names.end());
}

}  // namespace
}  // namespace deskplay::simdesk
