#include "geometry/synth_drag_command.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "finder/testing/recording_glyphon_io.hpp"
#include "geometry/accessibility_icon_geometry.hpp"
#include "geometry/testing/fake_finder_tree.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"

namespace deskplay::glyphon {
namespace {

using platform::EventTaps;
using platform::EventType;
using platform::Point;
using platform::testing::FakeClock;
using platform::testing::FakeEventTaps;
using testing::FakeFinderTree;
using testing::RecordingLog;

CommandResult dataResult(std::string data) {
  CommandResult result;
  result.data = std::move(data);
  return result;
}

class SynthDragCommandTest : public ::testing::Test {
 protected:
  SynthDragCommandTest() {
    const auto desktop = finder.group(finder.application, "AXScrollArea");
    const auto icon = finder.icon(desktop, "a.txt", {100, 200}, {64, 77});
    finder.label(icon, {{90, 280}, {84, 16}});
    finder.icon(desktop, "b.txt", {300, 200});
    eventTaps.setPointerLocation(Point{700, 400});
  }

  Command drag(std::optional<double> x, std::optional<double> y,
               std::optional<std::string> path = std::nullopt) {
    Command command;
    command.id = "1";
    command.type = "synth_drag";
    command.x = x;
    command.y = y;
    command.path = std::move(path);
    return command;
  }

  CommandAnswer run(const Command& command) { return synthDrag.run(command); }

  FakeFinderTree finder;
  FakeEventTaps eventTaps;
  FakeClock clock;
  RecordingLog log;
  PointerSynthesis pointer{eventTaps, clock};
  AccessibilityIconGeometry geometry{finder.accessibility, finder.windows, pointer};
  SynthDragCommand synthDrag{{geometry, pointer, eventTaps, log}};
};

TEST_F(SynthDragCommandTest, DragsAtAPointAndPutsThePointerBack) {
  EXPECT_EQ(run(drag(10.9, 20.2)), CommandAnswer::success(dataResult("10,20")));

  ASSERT_EQ(eventTaps.posted().size(), 6u);
  EXPECT_EQ(eventTaps.posted().front().event.location, (Point{10.9, 20.2}));
  EXPECT_EQ(eventTaps.warps(), (std::vector<Point>{{700, 400}}));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"[ORVEL] synth_drag at 10,20"}));
}

TEST_F(SynthDragCommandTest, NegativeCoordinatesAreTruncatedTowardZero) {
  EXPECT_EQ(run(drag(-3.7, -0.2)), CommandAnswer::success(dataResult("-3,0")));
}

TEST_F(SynthDragCommandTest, DragsAtTheCentreOfTheIconOfAPath) {
  EXPECT_EQ(run(drag(std::nullopt, std::nullopt, "/h/Desktop/a.txt")),
            CommandAnswer::success(dataResult("132,238")));

  ASSERT_EQ(eventTaps.posted().size(), 6u);
  EXPECT_EQ(eventTaps.posted().front().event.location, (Point{132, 238.5}));
  EXPECT_EQ(eventTaps.posted().back().event.type, EventType::leftMouseUp);
}

TEST_F(SynthDragCommandTest, APointOnTheLabelOfThePathsIconIsOnTarget) {
  EXPECT_EQ(run(drag(132, 285, "/h/Desktop/a.txt")), CommandAnswer::success(dataResult("132,285")));
}

TEST_F(SynthDragCommandTest, WithoutAPointerLocationThePointerStaysWhereTheDragLeftIt) {
  eventTaps.setPointerLocation(std::nullopt);

  EXPECT_TRUE(run(drag(10, 20)).ok);
  EXPECT_EQ(eventTaps.posted().size(), 6u);
  EXPECT_TRUE(eventTaps.warps().empty());
}

struct RefusalCase {
  std::string name;
  std::optional<double> x;
  std::optional<double> y;
  std::optional<std::string> path;
  std::optional<EventTaps::MouseButton> buttonDown;
  std::string error;
};

TEST_F(SynthDragCommandTest, RefusalsPostNothingAndLeaveThePointerAlone) {
  using Button = EventTaps::MouseButton;
  const std::string needs = "synth_drag needs (x,y) or a findable path";
  const std::string interrupted = "synth_drag interrupted by user pointer";
  const std::string mismatch = "synth_drag target mismatch";
  const RefusalCase cases[] = {
      {"x alone", 10, std::nullopt, std::nullopt, std::nullopt, needs},
      {"y alone", std::nullopt, 10, std::nullopt, std::nullopt, needs},
      {"path of no icon", std::nullopt, std::nullopt, "/h/Desktop/gone.txt", std::nullopt, needs},
      {"x alone with a path of no icon", 10, std::nullopt, "/h/Desktop/gone.txt", std::nullopt,
       needs},
      {"left button held", 10, 20, std::nullopt, Button::left, interrupted},
      {"right button held", 10, 20, std::nullopt, Button::right, interrupted},
      {"button held over the path's icon", std::nullopt, std::nullopt, "/h/Desktop/a.txt",
       Button::left, interrupted},
      {"point on another icon", 332, 232, "/h/Desktop/a.txt", std::nullopt, mismatch},
      {"point on no icon", 1000, 800, "/h/Desktop/a.txt", std::nullopt, mismatch},
  };
  for (const RefusalCase& c : cases) {
    eventTaps.setButtonDown(Button::left, c.buttonDown == Button::left);
    eventTaps.setButtonDown(Button::right, c.buttonDown == Button::right);

    EXPECT_EQ(run(drag(c.x, c.y, c.path)), CommandAnswer::failure(c.error)) << c.name;
    EXPECT_TRUE(eventTaps.posted().empty()) << c.name;
    EXPECT_TRUE(eventTaps.warps().empty()) << c.name;
    EXPECT_TRUE(clock.sleeps().empty()) << c.name;
  }
  EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace deskplay::glyphon
