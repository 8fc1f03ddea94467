#include "sim/simdesk/model/desktop_icon_mouse.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

using platform::Event;
using platform::EventType;
using platform::Point;

// The person's mouse on Finder's desktop, through the whole event pipeline.
class DesktopIconMouseTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    addFile("a.txt");
    addFile("b.txt");
    finder().refresh();
    ASSERT_TRUE(finder().setDesktopPosition(onDesktop("a.txt"), {300, 300}).ok());
    ASSERT_TRUE(finder().setDesktopPosition(onDesktop("b.txt"), {600, 300}).ok());
  }

  void send(EventType type, Point at) {
    Event event;
    event.type = type;
    event.location = at;
    desktop().events().inject(event);
  }
  // Press, move in `steps` drags, release.
  void drag(Point from, Point to, int steps = 4) {
    send(EventType::leftMouseDown, from);
    for (int step = 1; step <= steps; ++step) {
      const double part = static_cast<double>(step) / steps;
      send(EventType::leftMouseDragged,
           {from.x + (to.x - from.x) * part, from.y + (to.y - from.y) * part});
    }
    send(EventType::leftMouseUp, to);
  }
  void click(Point at) {
    send(EventType::leftMouseDown, at);
    send(EventType::leftMouseUp, at);
  }
  std::vector<std::filesystem::path> selection() { return desktop().events().desktopSelection(); }
};

TEST_F(DesktopIconMouseTest, DraggingAnIconMovesItKeepingTheGrabPointAndTheMoveIsKept) {
  // Grabbed off-centre; the icon keeps its offset to the pointer.
  drag({310, 290}, {510, 440});
  EXPECT_EQ(item("a.txt").position, (Point{500, 450}));
  EXPECT_EQ(item("b.txt").position, (Point{600, 300}));
  EXPECT_EQ(selection(), (std::vector<std::filesystem::path>{onDesktop("a.txt")}));

  finder().savePositions();
  restart();
  finder().refresh();
  EXPECT_EQ(item("a.txt").position, (Point{500, 450}));
}

TEST_F(DesktopIconMouseTest, AClickOrAWobbleSelectsWithoutMovingAndTheBareDesktopClears) {
  click({600, 300});
  EXPECT_EQ(selection(), (std::vector<std::filesystem::path>{onDesktop("b.txt")}));
  drag({300, 300}, {302, 301});
  EXPECT_EQ(item("a.txt").position, (Point{300, 300})) << "a wobble below the drag threshold";
  EXPECT_EQ(selection(), (std::vector<std::filesystem::path>{onDesktop("a.txt")}));
  // A drag that ends where it began (as a synthetic nudge does) leaves the icon in place.
  drag({300, 300}, {300, 300});
  send(EventType::leftMouseDown, {300, 300});
  send(EventType::leftMouseDragged, {310, 307});
  send(EventType::leftMouseDragged, {300, 300});
  send(EventType::leftMouseUp, {300, 300});
  EXPECT_EQ(item("a.txt").position, (Point{300, 300}));

  click({900, 600});
  EXPECT_TRUE(selection().empty());
}

TEST_F(DesktopIconMouseTest, ACoverWindowOverAnIconTakesTheClickAndTheDrag) {
  desktop().clientConnected(900, "Deskplay");
  auto& server = desktop().windowServer();
  const auto cover = server.createWindow(
      900, platform::WindowSpec{desktop().screens().toBottomLeft({{200, 200}, {200, 200}})});
  platform::WindowTraits traits;
  traits.level = levels::desktopIcon + 1;
  ASSERT_TRUE(server.configure(cover, traits).ok());
  ASSERT_TRUE(server.orderFront(cover).ok());

  drag({300, 300}, {700, 600});
  EXPECT_EQ(item("a.txt").position, (Point{300, 300}));
  EXPECT_TRUE(selection().empty());
  EXPECT_EQ(desktop().events().log().back().pid, 900);
}

TEST_F(DesktopIconMouseTest, ASwallowedPressStartsNoDrag) {
  auto& events = desktop().events();
  const auto tap = events.createTap({1, 1}, platform::eventMaskOf(EventType::leftMouseDown),
                                    [&events](std::uint64_t sequence, const Event&) {
                                      // The tap's own id is the only one there is.
                                      if (sequence != 0)
                                        events.answer(1, sequence, platform::TapVerdict::swallow);
                                    });
  ASSERT_EQ(tap, std::optional<std::uint64_t>(1));
  ASSERT_TRUE(events.setTapEnabled(*tap, true));
  drag({300, 300}, {700, 600});
  EXPECT_EQ(item("a.txt").position, (Point{300, 300}));
}

TEST_F(DesktopIconMouseTest, AnIconThatLeavesTheDesktopDuringADragIsNotDropped) {
  send(EventType::leftMouseDown, {300, 300});
  send(EventType::leftMouseDragged, {400, 400});
  std::filesystem::remove(onDesktop("a.txt"));
  finder().refresh();
  send(EventType::leftMouseUp, {400, 400});
  EXPECT_EQ(finder().itemNamed("a.txt"), nullptr);
  EXPECT_TRUE(selection().empty());
}

}  // namespace
}  // namespace deskplay::simdesk
