#include <gtest/gtest.h>

#include "keyhark_process.hpp"
#include "platform/sim/sim_event_taps.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;

class KeyharkMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(session_.desktop() / "note.txt", "hello");
    ASSERT_TRUE(session_.start());
    keyhark_ = std::make_unique<KeyharkProcess>(session_, std::vector<std::string>{"--mouse-only"});
    ASSERT_TRUE(keyhark_->waitUntilReady()) << ::testing::PrintToString(keyhark_->statusLines());
    const json note = session_.desktopItem("note.txt");
    ASSERT_TRUE(note.is_object());
    iconX_ = note["position"]["x"];
    iconY_ = note["position"]["y"];
  }

  void ctl(const std::vector<std::string>& arguments) {
    const Completed done = session_.ctl(arguments);
    ASSERT_EQ(done.status, 0) << done.errors;
  }
  static std::string number(double value) { return std::to_string(value); }

  // The types of the next `count` event lines.
  std::vector<std::string> nextTypes(std::size_t count) {
    std::vector<std::string> types;
    for (std::size_t index = 0; index < count; ++index) {
      const auto event = keyhark_->nextEvent();
      if (!event) break;
      types.push_back((*event)["type"]);
    }
    return types;
  }
  // Sends a command line and waits for the status lines it should add.
  void command(const std::string& line, std::size_t statusLinesAfter) {
    keyhark_->process().writeLine(line);
    ASSERT_EQ(keyhark_->waitForStatusLines(statusLinesAfter).size(), statusLinesAfter);
  }
  // A right click away from every icon, then the event lines written before its own: Keyhark
  // writes its lines in order, so by then every earlier event has had all of its lines.
  std::vector<json> linesBeforeAMarkerClick() {
    ctl({"click", "700", "450", "--right"});
    std::vector<json> lines;
    for (;;) {
      const auto event = keyhark_->nextEvent();
      if (!event) {
        ADD_FAILURE() << "the marker click has no line";
        return lines;
      }
      if ((*event)["type"] == "rightclick" && (*event)["x"] == 700.0 && (*event)["y"] == 450.0) {
        return lines;
      }
      lines.push_back(*event);
    }
  }
  std::size_t receivedByFinder(const std::string& eventType) {
    return deliveries(session_, "application", eventType).size();
  }
  json iconPosition() { return session_.desktopItem("note.txt")["position"]; }
  std::string notePath() const { return (session_.desktop() / "note.txt").string(); }

  SimdeskSession session_;
  std::unique_ptr<KeyharkProcess> keyhark_;
  double iconX_ = 0;
  double iconY_ = 0;
};

TEST_F(KeyharkMouseTest, ClickOnAnIconNamesItsFileAndReachesFinder) {
  ctl({"click", number(iconX_), number(iconY_)});
  EXPECT_EQ(keyhark_->nextEvent(), (json{{"type", "mousedown"}, {"x", iconX_}, {"y", iconY_}}));
  EXPECT_EQ(keyhark_->nextEvent(), (json{{"type", "mouseup"}, {"x", iconX_}, {"y", iconY_}}));
  EXPECT_EQ(keyhark_->nextEvent(),
            (json{{"type", "click"}, {"x", iconX_}, {"y", iconY_}, {"target", notePath()}}));
  EXPECT_EQ(receivedByFinder("leftMouseDown"), 1u);
  EXPECT_EQ(receivedByFinder("leftMouseUp"), 1u);
}

TEST_F(KeyharkMouseTest, ReleaseSevenPointsAwayIsNoClick) {
  ctl({"drag", number(iconX_), number(iconY_), number(iconX_ + 7), number(iconY_), "--steps", "1"});
  EXPECT_EQ(nextTypes(2), (std::vector<std::string>{"mousedown", "mouseup"}));
  EXPECT_EQ(linesBeforeAMarkerClick(), std::vector<json>{});
}

TEST_F(KeyharkMouseTest, ControlClickIsOneRightClickThatFinderNeverSees) {
  ctl({"click", number(iconX_), number(iconY_), "--control"});
  EXPECT_EQ(keyhark_->nextEvent(),
            (json{{"type", "rightclick"}, {"x", iconX_}, {"y", iconY_}, {"target", notePath()}}));
  EXPECT_EQ(receivedByFinder("leftMouseDown"), 0u);
  EXPECT_EQ(receivedByFinder("leftMouseUp"), 0u);
  EXPECT_EQ(linesBeforeAMarkerClick(), std::vector<json>{});
}

TEST_F(KeyharkMouseTest, RightClickIsTheGamesAlone) {
  ctl({"click", number(iconX_), number(iconY_), "--right"});
  const auto event = keyhark_->nextEvent();
  ASSERT_TRUE(event);
  EXPECT_EQ((*event)["type"], "rightclick");
  EXPECT_EQ((*event)["target"], notePath());
  EXPECT_EQ(receivedByFinder("rightMouseDown"), 0u);
  EXPECT_EQ(receivedByFinder("rightMouseUp"), 0u);
  EXPECT_EQ(linesBeforeAMarkerClick(), std::vector<json>{});
}

TEST_F(KeyharkMouseTest, CapturedDragNeverMovesTheIconUncapturedOneDoes) {
  const json before = iconPosition();
  command(R"({"captureDesktopDrags":true})", 2);
  ctl({"drag", number(iconX_), number(iconY_), "400", "300", "--steps", "5"});
  EXPECT_EQ(nextTypes(9), (std::vector<std::string>{"mousedown", "dragstart", "drag", "drag",
                                                    "drag", "drag", "drag", "dragend", "mouseup"}));
  EXPECT_EQ(iconPosition(), before);
  EXPECT_EQ(receivedByFinder("leftMouseDown"), 0u);
  EXPECT_EQ(receivedByFinder("leftMouseDragged"), 0u);

  command(R"({"captureDesktopDrags":0})", 3);
  ctl({"drag", number(iconX_), number(iconY_), "400", "300", "--steps", "5"});
  EXPECT_EQ(nextTypes(2), (std::vector<std::string>{"mousedown", "mouseup"}));
  EXPECT_EQ(iconPosition(), (json{{"x", 400.0}, {"y", 300.0}}));
  EXPECT_EQ(keyhark_->statusLines(),
            (std::vector<std::string>{"LISTENER_READY", "MOUSE_CAPTURE on", "MOUSE_CAPTURE off"}));
}

TEST_F(KeyharkMouseTest, CaptureStartsOnlyInsideTheRectangles) {
  command(R"({"captureRects":[{"x":0,"y":0,"width":10,"height":10}],"captureDesktopDrags":true})",
          3);
  EXPECT_EQ(keyhark_->statusLines(), (std::vector<std::string>{"LISTENER_READY", "MOUSE_CAPTURE on",
                                                               "MOUSE_CAPTURE rects=1"}));
  ctl({"drag", number(iconX_), number(iconY_), "400", "300", "--steps", "3"});
  EXPECT_EQ(nextTypes(2), (std::vector<std::string>{"mousedown", "mouseup"}));
  EXPECT_EQ(iconPosition(), (json{{"x", 400.0}, {"y", 300.0}}));

  command(R"({"captureRects":[{"x":390,"y":290,"width":20,"height":20}]})", 4);
  ctl({"drag", "400", "300", "600", "500", "--steps", "3"});
  EXPECT_EQ(nextTypes(7), (std::vector<std::string>{"mousedown", "dragstart", "drag", "drag",
                                                    "drag", "dragend", "mouseup"}));
  EXPECT_EQ(iconPosition(), (json{{"x", 400.0}, {"y", 300.0}}));
}

TEST_F(KeyharkMouseTest, OurOwnSyntheticEventsPassWithoutALine) {
  auto connection = session_.connect("Glyphon");
  platform::SimEventTaps taps(*connection);
  for (auto type : {platform::EventType::leftMouseDown, platform::EventType::leftMouseUp}) {
    platform::Event event;
    event.type = type;
    event.location = {iconX_, iconY_};
    event.flags = platform::event_flags::control;
    event.sourceUserData = platform::kSyntheticPointerMarker;
    ASSERT_TRUE(taps.post(event, platform::EventTaps::PostLocation::hidSystem));
  }
  ASSERT_TRUE(eventually([&] { return receivedByFinder("leftMouseUp") == 1; }));
  EXPECT_EQ(receivedByFinder("leftMouseDown"), 1u);
  for (const json& record : session_.deliveryLog()) {
    if (record["stage"] == "tap" && record["app"] == "Keyhark") {
      EXPECT_EQ(record["action"], "passed");
      EXPECT_EQ(record["origin"], "posted");
    }
  }
  // The next line is the person's own click, not anything from the posted events.
  ctl({"click", "700", "450"});
  EXPECT_EQ(keyhark_->nextEvent(), (json{{"type", "mousedown"}, {"x", 700.0}, {"y", 450.0}}));
}

TEST_F(KeyharkMouseTest, MalformedCommandsAreIgnoredSilently) {
  for (const char* line : {"garbage", "[1,2]", "", R"({"captureDesktopDrags":"yes"})",
                           R"({"captureRects":[1]})", R"({"captureDesktopDrags":tru)",
                           R"({"captureRects":[{"x":"0","y":0,"width":1,"height":1}]})"}) {
    keyhark_->process().writeLine(line);
  }
  command(R"({"captureDesktopDrags":true})", 2);
  EXPECT_EQ(keyhark_->statusLines(),
            (std::vector<std::string>{"LISTENER_READY", "MOUSE_CAPTURE on"}));
  EXPECT_TRUE(keyhark_->isRunning());
}

TEST_F(KeyharkMouseTest, KeepsListeningAfterStandardInputEnds) {
  command(R"({"captureDesktopDrags":true})", 2);
  // The end is seen once the thread reading the commands is gone.
  const std::size_t threads = keyhark_->threadCount();
  keyhark_->process().closeStdin();
  ASSERT_TRUE(eventually([&] { return keyhark_->threadCount() == threads - 1; }))
      << keyhark_->threadCount() << " threads, " << threads << " before";
  ctl({"click", "700", "450", "--right"});
  const auto event = keyhark_->nextEvent();
  ASSERT_TRUE(event);
  EXPECT_EQ((*event)["type"], "rightclick");
  EXPECT_TRUE(keyhark_->isRunning());
}

TEST(KeyharkMouseWithoutPermissionTest, SaysSoAndStillListensWithoutTargets) {
  SimdeskSession session;
  writeFile(session.desktop() / "note.txt", "hello");
  ASSERT_TRUE(session.start());
  for (const char* service : {"accessibility", "input-monitoring"}) {
    ASSERT_EQ(session.ctl({"privacy", "revoke", service, "Keyhark"}).status, 0);
  }
  KeyharkProcess keyhark(session, {"--mouse-only"});
  ASSERT_TRUE(keyhark.waitUntilReady());
  EXPECT_EQ(keyhark.statusLines().front(), "LISTENER_PERMISSION_DENIED");
  EXPECT_EQ(keyhark.statusLines().size(), 4u);
  const json note = session.desktopItem("note.txt");
  const double x = note["position"]["x"];
  const double y = note["position"]["y"];
  ASSERT_EQ(session.ctl({"click", std::to_string(x), std::to_string(y)}).status, 0);
  keyhark.nextEvent();
  keyhark.nextEvent();
  EXPECT_EQ(keyhark.nextEvent(), (json{{"type", "click"}, {"x", x}, {"y", y}}));
}

}  // namespace
}  // namespace deskplay::testing
