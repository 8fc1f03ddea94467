#include "listener/mouse_listener.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "listener/recording_line_output.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::keyhark {
namespace {

using platform::Event;
using platform::EventType;
using platform::Rect;
using platform::TapVerdict;
using Lines = std::vector<std::string>;
using Seconds = platform::Clock::Seconds;

constexpr platform::ProcessId kFinder = 300;
constexpr platform::ProcessId kEditor = 400;

// A desktop icon of Finder's at (100,100)-(164,164) and an editor window at
// (500,500)-(800,800); nothing elsewhere.
class MouseListenerTest : public ::testing::Test {
 protected:
  MouseListenerTest() {
    windows_.setRunningApplications(
        {{kFinder, "com.apple.finder", "Finder"}, {kEditor, "com.example.editor", "Editor"}});
    const auto icon = accessibility_.addElement(
        kFinder, {{std::string(platform::kAXURL),
                   platform::AccessibilityUrl{"file:///home/me/Desktop/Game%20Tile.png"}}});
    accessibility_.placeElement(icon, Rect{{100, 100}, {64, 64}});
    const auto editor = accessibility_.addElement(
        kEditor, {{std::string(platform::kAXTitle), std::string("Untitled")}});
    accessibility_.placeElement(editor, Rect{{500, 500}, {300, 300}});
  }

  TapVerdict send(EventType type, double x, double y, std::uint64_t flags = 0) {
    Event event;
    event.type = type;
    event.location = {x, y};
    event.flags = flags;
    return listener_.mouseTapCallback(event);
  }
  TapVerdict press(double x, double y, std::uint64_t flags = 0) {
    return send(EventType::leftMouseDown, x, y, flags);
  }
  TapVerdict dragTo(double x, double y) { return send(EventType::leftMouseDragged, x, y); }
  TapVerdict release(double x, double y) { return send(EventType::leftMouseUp, x, y); }

  // Each line as its type, with ":" and the target when there is one.
  Lines summary() const {
    Lines out;
    for (const std::string& line : events_.lines()) {
      const auto object = nlohmann::json::parse(line);
      std::string text = object.at("type").get<std::string>();
      if (object.contains("target")) text += ":" + object.at("target").get<std::string>();
      out.push_back(text);
    }
    return out;
  }

  std::size_t hitTests() const { return accessibility_.hitTests().size(); }

  platform::testing::FakeAccessibility accessibility_;
  platform::testing::FakeWindows windows_;
  platform::testing::FakeClock clock_;
  CaptureSettings capture_;
  GlobalEventTap tap_;
  DesktopLookup lookup_{accessibility_, windows_};
  testing::RecordingLineOutput events_;
  MouseListener listener_{tap_, capture_, lookup_, clock_, events_};
};

TEST_F(MouseListenerTest, PressAndReleaseCloseInSpaceAndTimeIsAClick) {
  EXPECT_EQ(press(110, 120), TapVerdict::pass);
  clock_.advance(Seconds(0.4));
  EXPECT_EQ(release(113, 124), TapVerdict::pass);
  EXPECT_EQ(summary(), (Lines{"mousedown", "mouseup", "click:/home/me/Desktop/Game Tile.png"}));
  EXPECT_EQ(
      events_.lines()[2],
      R"({"type":"click","x":113,"y":124,"target":"\/home\/me\/Desktop\/Game Tile.png"})");
}

TEST_F(MouseListenerTest, ClickNeedsBothLimits) {
  struct Case {
    const char* what;
    double releaseX;
    double seconds;
    bool click;
  };
  const Case cases[] = {
      {"5 points, 0.4 s", 5, 0.4, true}, {"6 points, 0.5 s", 6, 0.5, true},
      {"7 points", 7, 0.1, false},       {"6.01 points", 6.01, 0.1, false},
      {"0.51 s", 0, 0.51, false},        {"clock stepped back", 0, -3, true},
  };
  for (const Case& c : cases) {
    // A clock and listener of its own, so that every case starts at the same instant.
    platform::testing::FakeClock clock;
    MouseListener listener(tap_, capture_, lookup_, clock, events_);
    events_.clear();
    Event event;
    event.type = EventType::leftMouseDown;
    event.location = {600, 600};
    listener.mouseTapCallback(event);
    clock.advance(Seconds(c.seconds));
    event.type = EventType::leftMouseUp;
    event.location = {600 + c.releaseX, 600};
    listener.mouseTapCallback(event);
    const Lines expected =
        c.click ? Lines{"mousedown", "mouseup", "click:Untitled"} : Lines{"mousedown", "mouseup"};
    EXPECT_EQ(summary(), expected) << c.what;
  }
}

TEST_F(MouseListenerTest, ClickOverNothingHasNoTarget) {
  press(10, 10);
  release(10, 10);
  EXPECT_EQ(summary(), (Lines{"mousedown", "mouseup", "click"}));
}

TEST_F(MouseListenerTest, ReleaseWithoutPressIsNoClick) {
  EXPECT_EQ(release(10, 10), TapVerdict::pass);
  EXPECT_EQ(summary(), Lines{"mouseup"});
  press(10, 10);
  release(10, 10);
  events_.clear();
  release(10, 10);
  EXPECT_EQ(summary(), Lines{"mouseup"});
}

TEST_F(MouseListenerTest, ControlClickIsOneSwallowedRightClick) {
  EXPECT_EQ(press(120, 120, platform::event_flags::control), TapVerdict::swallow);
  EXPECT_EQ(release(120, 120), TapVerdict::swallow);
  EXPECT_EQ(summary(), Lines{"rightclick:/home/me/Desktop/Game Tile.png"});
  // Only the one release after it is swallowed.
  events_.clear();
  EXPECT_EQ(release(120, 120), TapVerdict::pass);
  EXPECT_EQ(summary(), Lines{"mouseup"});
}

TEST_F(MouseListenerTest, RightButtonIsTheGames) {
  EXPECT_EQ(send(EventType::rightMouseDown, 650, 650), TapVerdict::swallow);
  EXPECT_EQ(send(EventType::rightMouseUp, 650, 650), TapVerdict::swallow);
  EXPECT_EQ(summary(), Lines{"rightclick:Untitled"});
}

TEST_F(MouseListenerTest, OtherEventsPassSilently) {
  EXPECT_EQ(send(EventType::mouseMoved, 1, 1), TapVerdict::pass);
  EXPECT_EQ(send(EventType::rightMouseDragged, 1, 1), TapVerdict::pass);
  EXPECT_EQ(dragTo(130, 130), TapVerdict::pass);
  EXPECT_TRUE(events_.lines().empty());
}

TEST_F(MouseListenerTest, SyntheticEventsPassUntouched) {
  capture_.setCaptureDesktopDrags(true);
  for (EventType type : {EventType::leftMouseDown, EventType::leftMouseDragged,
                         EventType::leftMouseUp, EventType::rightMouseDown}) {
    Event event;
    event.type = type;
    event.location = {120, 120};
    event.flags = platform::event_flags::control;
    event.sourceUserData = platform::kSyntheticPointerMarker;
    EXPECT_EQ(listener_.mouseTapCallback(event), TapVerdict::pass);
  }
  EXPECT_TRUE(events_.lines().empty());
  EXPECT_EQ(hitTests(), 0u);
  // The user's own release afterwards is no click of a synthetic press.
  release(120, 120);
  EXPECT_EQ(summary(), Lines{"mouseup"});
}

TEST_F(MouseListenerTest, CapturedDragOnFinderIsReportedThinnedAndSwallowed) {
  capture_.setCaptureDesktopDrags(true);
  EXPECT_EQ(press(120, 120), TapVerdict::swallow);
  EXPECT_EQ(dragTo(121, 120), TapVerdict::swallow);    // 1 point: no line
  EXPECT_EQ(dragTo(121.9, 120), TapVerdict::swallow);  // 1.9 points: none
  EXPECT_EQ(dragTo(122, 120), TapVerdict::swallow);    // 2 points: a line
  EXPECT_EQ(dragTo(123, 121), TapVerdict::swallow);    // 1.4 from the last line: none
  EXPECT_EQ(dragTo(300, 300), TapVerdict::swallow);
  clock_.advance(Seconds(2));
  EXPECT_EQ(release(300, 300), TapVerdict::swallow);
  EXPECT_EQ(summary(), (Lines{"mousedown", "dragstart", "drag", "drag", "dragend", "mouseup"}));
  const auto drag = nlohmann::json::parse(events_.lines()[2]);
  EXPECT_EQ(drag.at("x"), 122.0);
  // Back to idle: the next plain drag passes.
  EXPECT_EQ(dragTo(310, 310), TapVerdict::pass);
}

TEST_F(MouseListenerTest, ShortCapturedDragStillEndsInAClick) {
  capture_.setCaptureDesktopDrags(true);
  press(120, 120);
  dragTo(123, 120);
  EXPECT_EQ(release(123, 120), TapVerdict::swallow);
  EXPECT_EQ(summary(), (Lines{"mousedown", "dragstart", "drag", "dragend", "mouseup",
                              "click:/home/me/Desktop/Game Tile.png"}));
}

TEST_F(MouseListenerTest, PressesThatCannotStartACaptureLetEverythingPass) {
  struct Case {
    const char* what;
    bool capture;
    std::vector<Rect> rects;
    double x;
  };
  const Case cases[] = {
      {"capture off", false, {}, 120},
      {"over another application", true, {}, 600},
      {"over nothing", true, {}, 20},
      {"outside every rectangle", true, {{{0, 0}, {50, 50}}, {{200, 200}, {10, 10}}}, 120},
  };
  for (const Case& c : cases) {
    events_.clear();
    capture_.setCaptureDesktopDrags(c.capture);
    capture_.setCaptureRects(c.rects);
    EXPECT_EQ(press(c.x, c.x), TapVerdict::pass) << c.what;
    EXPECT_EQ(dragTo(c.x + 50, c.x + 50), TapVerdict::pass) << c.what;
    EXPECT_EQ(release(c.x + 50, c.x + 50), TapVerdict::pass) << c.what;
    EXPECT_EQ(summary(), (Lines{"mousedown", "mouseup"})) << c.what;
  }
}

TEST_F(MouseListenerTest, CaptureInsideARectangleOnFinder) {
  capture_.setCaptureDesktopDrags(true);
  capture_.setCaptureRects({{{0, 0}, {50, 50}}, {{110, 110}, {20, 20}}});
  EXPECT_EQ(press(120, 120), TapVerdict::swallow);
  EXPECT_EQ(summary(), (Lines{"mousedown", "dragstart"}));
}

TEST_F(MouseListenerTest, AccessibilityIsAskedOnlyWhenNeeded) {
  press(120, 120);
  dragTo(200, 200);
  release(200, 200);
  EXPECT_EQ(hitTests(), 0u);
  press(120, 120);
  release(120, 120);
  EXPECT_EQ(hitTests(), 1u);  // the click's target
  capture_.setCaptureDesktopDrags(true);
  capture_.setCaptureRects({{{0, 0}, {10, 10}}});
  press(120, 120);
  EXPECT_EQ(hitTests(), 1u);  // outside the rectangles: no lookup
  capture_.setCaptureRects({});
  press(120, 120);
  EXPECT_EQ(hitTests(), 2u);  // the desktop check
}

TEST_F(MouseListenerTest, TurnsTheTapBackOnWhenTheSystemSwitchesItOff) {
  platform::testing::FakeEventTaps taps;
  tap_.install(taps.createSessionTap(
      platform::eventMaskOf(EventType::leftMouseDown),
      [this](const Event& event) { return listener_.mouseTapCallback(event); }));
  tap_.enable();
  taps.disableTapsByTimeout();
  EXPECT_EQ(taps.enabledTapCount(), 1);
  taps.disableTapsByUserInput();
  EXPECT_EQ(taps.enabledTapCount(), 1);
  EXPECT_TRUE(events_.lines().empty());
}

}  // namespace
}  // namespace deskplay::keyhark
