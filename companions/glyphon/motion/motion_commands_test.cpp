#include "motion/motion_commands.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "finder/testing/recording_glyphon_io.hpp"
#include "motion/testing/fake_icon_geometry.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "protocol/script_host_runner.hpp"

namespace deskplay::glyphon {
namespace {

using Seconds = platform::Clock::Seconds;
using nlohmann::json;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

PositionUpdate moveTo(const std::string& path, double x, double y,
                      std::optional<NativeTransition> transition = std::nullopt) {
  return PositionUpdate{std::move(transition), path, x, y};
}

NativeTransition over(double seconds, std::optional<std::string> easing = "linear",
                      std::optional<bool> enabled = std::nullopt) {
  return NativeTransition{seconds, std::move(easing), enabled};
}

std::string positionScript(const std::vector<std::string>& lines) {
  std::string script = "tell application \"Finder\"\n";
  for (const std::string& line : lines) script += line + "\n";
  return script + "end tell";
}

std::string setPosition(const std::string& path, const std::string& x, const std::string& y) {
  return "set desktop position of (POSIX file \"" + path + "\" as alias) to {" + x + ", " + y + "}";
}

// Glyphon's motion commands with fakes all round: a Finder that accepts every script, a
// clock at 1000 s of uptime that moves by hand (in steps that binary fractions hold exactly,
// so that a motion ends on the very tick its duration is over), main-loop timers that fire as
// the test moves that clock through them, the pointer and buttons, and icon geometry laid out
// by each test.
class MotionCommandsTest : public ::testing::Test {
 protected:
  platform::testing::FakeScriptHost host;
  testing::RecordingOutput output;
  ScriptHostRunner scripts{host, output};
  testing::RecordingLog log;
  platform::testing::FakeClock clock{Seconds(1000)};
  platform::testing::FakeMainLoopTimers timers{clock};
  platform::testing::FakeEventTaps taps;
  testing::FakeIconGeometry geometry;
  MotionCommands motion{{output, log, scripts, clock, timers, taps, geometry}};

  std::vector<std::string> lines(std::string_view prefix) const {
    std::vector<std::string> found;
    for (const auto& line : output.lines()) {
      if (line.text.starts_with(prefix)) found.push_back(line.text.substr(prefix.size()));
    }
    return found;
  }
  std::vector<json> answers() const {
    std::vector<json> found;
    for (const std::string& text : lines("ICON:")) found.push_back(json::parse(text));
    return found;
  }
  // The receipts of the one answer to `id`.
  json receiptsOf(const std::string& id) const {
    json receipts;
    int count = 0;
    for (const json& answer : answers()) {
      if (answer["id"] != id) continue;
      ++count;
      EXPECT_EQ(answer["ok"], true);
      receipts = json::parse(answer["result"]["data"].get<std::string>());
    }
    EXPECT_EQ(count, 1) << "answers to " << id;
    return receipts;
  }
  std::vector<json> motions() const {
    std::vector<json> found;
    for (const std::string& text : lines("MOTION:")) found.push_back(json::parse(text));
    return found;
  }
  void advance(double milliseconds) { clock.advance(Seconds(milliseconds / 1000)); }

  // Puts `path` at (x, y) at once, as a path's first command does, and forgets the output.
  void place(const std::string& path, double x, double y) {
    ASSERT_EQ(motion.submitPosition("place " + path, {moveTo(path, x, y)}), std::nullopt);
    ASSERT_EQ(receiptsOf("place " + path).size(), 1u);
    clearRecords();
  }
  void clearRecords() {
    output = testing::RecordingOutput{};
    host = platform::testing::FakeScriptHost{};
  }
  void pressAt(platform::Point location, std::int64_t userData = 0) {
    platform::Event event;
    event.type = platform::EventType::leftMouseDown;
    event.location = location;
    event.sourceUserData = userData;
    taps.deliverToMonitors(event);
  }
};

TEST(ReceiptKeyTest, SeparatesThePathFromTheGenerationSoThatKeysNeverCollide) {
  EXPECT_EQ(receiptKey("/d/a", 12), std::string("/d/a\0"
                                                "12",
                                                7));
  EXPECT_NE(receiptKey("/d/a1", 2), receiptKey("/d/a", 12));
}

TEST_F(MotionCommandsTest, NoUpdatesAnswersAtOnceWithAnEmptyList) {
  CommandResult empty;
  empty.data = "[]";
  EXPECT_EQ(motion.submitPosition("1", {}), CommandAnswer::success(empty));
  EXPECT_TRUE(output.lines().empty());
  EXPECT_EQ(motion.pendingCommandCount(), 0u);
}

struct RefusedCommand {
  std::string name;
  std::vector<PositionUpdate> updates;
};

class RefusedCommandTest : public MotionCommandsTest,
                           public ::testing::WithParamInterface<RefusedCommand> {};

TEST_P(RefusedCommandTest, AnswersInvalidTransitionAndChangesNothing) {
  place("/d/a", 10, 10);
  ASSERT_EQ(motion.submitPosition("run", {moveTo("/d/a", 90, 90, over(10))}), std::nullopt);
  clearRecords();

  EXPECT_EQ(motion.submitPosition("2", GetParam().updates),
            CommandAnswer::failure("Invalid position transition"));

  EXPECT_TRUE(output.lines().empty());
  EXPECT_TRUE(host.runs().empty());
  EXPECT_EQ(motion.pendingCommandCount(), 1u);
  EXPECT_EQ(motion.nativePositions().size(), 1u);
  EXPECT_TRUE(motion.positionMotion().isAnimating("/d/a"));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RefusedCommandTest,
    ::testing::Values(
        RefusedCommand{"TwiceTheSamePath",
                       {moveTo("/d/b", 1, 1), moveTo("/d/a", 1, 1), moveTo("/d/b", 2, 2)}},
        RefusedCommand{"InfiniteX", {moveTo("/d/b", kInfinity, 1)}},
        RefusedCommand{"NaNY", {moveTo("/d/b", 1, std::numeric_limits<double>::quiet_NaN())}},
        RefusedCommand{"NegativeDuration", {moveTo("/d/b", 1, 1, over(-0.1))}},
        RefusedCommand{"InfiniteDuration", {moveTo("/d/b", 1, 1, over(kInfinity))}},
        RefusedCommand{"UnknownEasing", {moveTo("/d/b", 1, 1, over(0.25, "bounce"))}},
        RefusedCommand{"EasingInOtherCase", {moveTo("/d/b", 1, 1, over(0.25, "EaseOut"))}},
        RefusedCommand{"DisabledButUnknownEasing",
                       {moveTo("/d/b", 1, 1, over(0.25, "spring", false))}},
        // A bad update refuses the whole command, also after good ones.
        RefusedCommand{"LastUpdateBad",
                       {moveTo("/d/a", 5, 5), moveTo("/d/b", 1, 1, over(0.1, "bounce"))}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(MotionCommandsTest, ANeverPositionedPathIsPlacedAtOnceAndAnsweredOnceFromTheReceipt) {
  EXPECT_EQ(motion.submitPosition("7", {moveTo("/d/A \"b\"", 100.5, -20.5)}), std::nullopt);

  EXPECT_EQ(
      host.runs(),
      (std::vector<std::string>{positionScript({setPosition("/d/A \\\"b\\\"", "101", "-21")})}));
  ASSERT_EQ(output.lines().size(), 2u);
  EXPECT_EQ(output.lines()[0].text, R"(MOTION:[{"path":"/d/A \"b\"","x":101,"y":-21}])");
  EXPECT_EQ(output.lines()[0].flush, OutputLines::Flush::now);
  EXPECT_EQ(receiptsOf("7"), json::parse(R"([{"path":"/d/A \"b\"","generation":1,
      "status":"completed","position":{"x":100.5,"y":-20.5}}])"));
  EXPECT_EQ(motion.nativePositions().at("/d/A \"b\""), (MotionPoint{101, -21}));
  EXPECT_FALSE(motion.isMotionTimerRunning());
  EXPECT_EQ(motion.pendingCommandCount(), 0u);
}

TEST_F(MotionCommandsTest, AnimatesFromTheKnownPositionAndAnswersAtTheEnd) {
  place("/d/a", 0, 0);

  EXPECT_EQ(motion.submitPosition("8", {moveTo("/d/a", 100, 200, over(0.25))}), std::nullopt);
  EXPECT_TRUE(motion.isMotionTimerRunning());
  advance(125);
  motion.nativeMotionTick();
  advance(125);
  motion.nativeMotionTick();

  EXPECT_EQ(motions(), (std::vector<json>{
                           json::parse(R"([{"path":"/d/a","x":0,"y":0}])"),
                           json::parse(R"([{"path":"/d/a","x":50,"y":100}])"),
                           json::parse(R"([{"path":"/d/a","x":100,"y":200}])"),
                       }));
  EXPECT_EQ(receiptsOf("8"), json::parse(R"([{"path":"/d/a","generation":2,
      "status":"completed","position":{"x":100,"y":200}}])"));
  EXPECT_EQ(output.lines().back().text.substr(0, 5), "ICON:");
  EXPECT_FALSE(motion.isMotionTimerRunning());
}

TEST_F(MotionCommandsTest, WritesEveryMovingIconInOneScriptWithRoundedPositions) {
  place("/d/b", 0, 0);
  place("/d/a", 0, 0);

  ASSERT_EQ(motion.submitPosition(
                "9", {moveTo("/d/b", 10, 10, over(1)), moveTo("/d/a", -10, 3, over(1))}),
            std::nullopt);
  advance(250);
  motion.nativeMotionTick();

  // At a quarter of the way: b at 2.5 on both axes, a at (-2.5, 0.75).
  ASSERT_EQ(host.runs().size(), 2u);
  EXPECT_EQ(host.runs()[1],
            positionScript({setPosition("/d/a", "-3", "1"), setPosition("/d/b", "3", "3")}));
  EXPECT_EQ(motions().back(), json::parse(R"([{"path":"/d/a","x":-3,"y":1},
                                              {"path":"/d/b","x":3,"y":3}])"));
  EXPECT_EQ(motion.nativePositions().at("/d/a"), (MotionPoint{-3, 1}));
}

TEST_F(MotionCommandsTest, ReceiptsAnswerInArrivalOrderWhenTheLastOneArrives) {
  place("/d/a", 0, 0);
  place("/d/b", 0, 0);

  ASSERT_EQ(motion.submitPosition(
                "10", {moveTo("/d/b", 5, 5, over(0.125)), moveTo("/d/a", 5, 5, over(0.25))}),
            std::nullopt);
  advance(125);
  motion.nativeMotionTick();
  EXPECT_TRUE(answers().empty());
  advance(125);
  motion.nativeMotionTick();

  const json receipts = receiptsOf("10");
  ASSERT_EQ(receipts.size(), 2u);
  EXPECT_EQ(receipts[0]["path"], "/d/b");
  EXPECT_EQ(receipts[1]["path"], "/d/a");
}

TEST_F(MotionCommandsTest, ASecondCommandSupersedesTheFirstFromTheAnimatedPosition) {
  place("/d/a", 0, 0);
  ASSERT_EQ(motion.submitPosition("first", {moveTo("/d/a", 100, 0, over(0.25))}), std::nullopt);
  advance(125);
  motion.nativeMotionTick();

  ASSERT_EQ(motion.submitPosition("second", {moveTo("/d/a", 50, 100, over(0.25))}), std::nullopt);

  EXPECT_EQ(receiptsOf("first"), json::parse(R"([{"path":"/d/a","generation":2,
      "status":"superseded","position":{"x":50,"y":0}}])"));
  advance(125);
  motion.nativeMotionTick();
  EXPECT_EQ(motions().back(), json::parse(R"([{"path":"/d/a","x":50,"y":50}])"));
  advance(125);
  motion.nativeMotionTick();
  const json second = receiptsOf("second");
  EXPECT_EQ(second[0]["status"], "completed");
  EXPECT_EQ(second[0]["generation"], 3);
}

TEST_F(MotionCommandsTest, ADisabledTransitionIsAppliedWithoutAnimation) {
  place("/d/a", 0, 0);

  EXPECT_EQ(motion.submitPosition("11", {moveTo("/d/a", 40, 40, over(5, "linear", false))}),
            std::nullopt);

  EXPECT_EQ(motions(), (std::vector<json>{json::parse(R"([{"path":"/d/a","x":40,"y":40}])")}));
  EXPECT_EQ(receiptsOf("11")[0]["status"], "completed");
  EXPECT_FALSE(motion.isMotionTimerRunning());
}

TEST_F(MotionCommandsTest, ANewPathWithATransitionStaysAtItsTargetUntilTheEnd) {
  EXPECT_EQ(motion.submitPosition("12", {moveTo("/d/new", 300, 300, over(0.25, std::nullopt))}),
            std::nullopt);
  advance(125);
  motion.nativeMotionTick();
  advance(125);
  motion.nativeMotionTick();

  for (const json& batch : motions()) {
    EXPECT_EQ(batch, json::parse(R"([{"path":"/d/new","x":300,"y":300}])"));
  }
  EXPECT_EQ(motions().size(), 3u);
  EXPECT_EQ(receiptsOf("12")[0]["status"], "completed");
}

TEST_F(MotionCommandsTest, PositionCancelEndsRunningMotionsAndStopsTheTimer) {
  place("/d/a", 0, 0);
  place("/d/b", 0, 0);
  ASSERT_EQ(
      motion.submitPosition("13", {moveTo("/d/a", 9, 9, over(1)), moveTo("/d/b", 9, 9, over(1))}),
      std::nullopt);

  EXPECT_EQ(motion.cancelPositions({"/d/a", "/d/idle"}), CommandAnswer::success());
  EXPECT_TRUE(answers().empty());
  EXPECT_TRUE(motion.isMotionTimerRunning());
  EXPECT_EQ(motion.cancelPositions({"/d/b"}), CommandAnswer::success());

  const json receipts = receiptsOf("13");
  EXPECT_EQ(receipts[0]["status"], "cancelled");
  EXPECT_EQ(receipts[1]["status"], "cancelled");
  EXPECT_FALSE(motion.isMotionTimerRunning());
  EXPECT_EQ(motion.cancelPositions({"/d/b"}), CommandAnswer::success());
  EXPECT_EQ(answers().size(), 1u);
}

TEST_F(MotionCommandsTest, AFailedWriteAnswersFailedForgetsThePathAndReseedsItNextTime) {
  place("/d/a", 0, 0);
  place("/d/b", 0, 0);
  ASSERT_EQ(motion.submitPosition("14", {moveTo("/d/a", 100, 0, over(1))}), std::nullopt);
  ASSERT_EQ(motion.submitPosition("15", {moveTo("/d/b", 100, 0, over(1))}), std::nullopt);
  host.setFallbackAnswer(platform::testing::failsWith("Finder got confused", -1728));
  advance(500);

  motion.nativeMotionTick();

  EXPECT_EQ(lines("FINDER_SCRIPT_ERROR:"), (std::vector<std::string>{"Finder got confused"}));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"[ORVEL] motion failed: Finder got confused"}));
  EXPECT_EQ(receiptsOf("14"), json::parse(R"([{"path":"/d/a","generation":2,
      "status":"failed","position":{"x":0,"y":0}}])"));
  EXPECT_EQ(receiptsOf("15")[0]["status"], "failed");
  EXPECT_TRUE(motion.nativePositions().empty());
  EXPECT_FALSE(motion.isMotionTimerRunning());

  host.setFallbackAnswer(platform::ScriptRun::success());
  ASSERT_EQ(motion.submitPosition("16", {moveTo("/d/a", 70, 80, over(1))}), std::nullopt);
  EXPECT_EQ(motions().back(), json::parse(R"([{"path":"/d/a","x":70,"y":80}])"))
      << "placed at its target, not animated from a forgotten place";
}

TEST_F(MotionCommandsTest, AFailedCoreStepCancelsTheCommandsMotionsAndAnswersTheError) {
  place("/d/a", 0, 0);

  // The empty path cannot be seeded, after /d/a's motion has started.
  EXPECT_EQ(motion.submitPosition("17", {moveTo("/d/a", 9, 9, over(1)), moveTo("", 1, 1)}),
            CommandAnswer::failure("Position failed: invalidTarget"));

  EXPECT_FALSE(motion.positionMotion().hasTracks());
  EXPECT_FALSE(motion.isMotionTimerRunning());
  EXPECT_EQ(motion.pendingCommandCount(), 0u);
  EXPECT_TRUE(answers().empty()) << "the cancelled motion answers nothing of its own";
  // The owner of /d/a's cancelled generation is gone: a later generation answers normally.
  ASSERT_EQ(motion.submitPosition("18", {moveTo("/d/a", 3, 3)}), std::nullopt);
  EXPECT_EQ(receiptsOf("18")[0]["generation"], 3);
}

TEST_F(MotionCommandsTest, AClockGoingBackwardsFailsTheCommandAndTheTickWithInvalidTime) {
  place("/d/a", 0, 0);
  clock.setUptime(Seconds(999));

  EXPECT_EQ(motion.submitPosition("19", {moveTo("/d/a", 9, 9, over(1))}),
            CommandAnswer::failure("Position failed: invalidTime"));
  motion.nativeMotionTick();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"[ORVEL] motion failed: invalidTime"}));
}

TEST_F(MotionCommandsTest, ATickThatFailsOnTimeKeepsTheTracksAndTheTimer) {
  place("/d/a", 0, 0);
  ASSERT_EQ(motion.submitPosition("20", {moveTo("/d/a", 9, 9, over(1))}), std::nullopt);
  clock.setUptime(Seconds(999));

  motion.nativeMotionTick();

  EXPECT_EQ(log.lines(), (std::vector<std::string>{"[ORVEL] motion failed: invalidTime"}));
  EXPECT_TRUE(motion.positionMotion().isAnimating("/d/a"));
  EXPECT_TRUE(motion.isMotionTimerRunning());
}

TEST_F(MotionCommandsTest, TheTimerStepsEvery50MillisecondsOnTheMainLoop) {
  place("/d/a", 0, 0);
  ASSERT_EQ(motion.submitPosition("21", {moveTo("/d/a", 1000, 0, over(1))}), std::nullopt);
  EXPECT_EQ(timers.repeatingCount(), 1);

  timers.advance(Seconds(0.125));

  EXPECT_EQ(motions(), (std::vector<json>{
                           json::parse(R"([{"path":"/d/a","x":0,"y":0}])"),
                           json::parse(R"([{"path":"/d/a","x":50,"y":0}])"),
                           json::parse(R"([{"path":"/d/a","x":100,"y":0}])"),
                       }));
}

TEST_F(MotionCommandsTest, TheTimerStopsWithTheLastTrack) {
  place("/d/a", 0, 0);
  ASSERT_EQ(motion.submitPosition("22", {moveTo("/d/a", 9, 9, over(0.2))}), std::nullopt);

  timers.advance(Seconds(0.3));

  EXPECT_EQ(receiptsOf("22")[0]["status"], "completed");
  EXPECT_FALSE(motion.isMotionTimerRunning());
  EXPECT_EQ(timers.repeatingCount(), 0);
  const std::size_t written = motions().size();
  timers.advance(Seconds(1));
  EXPECT_EQ(motions().size(), written) << "no step after the end";
}

TEST_F(MotionCommandsTest, ACancelStopsTheTimerBetweenTicks) {
  place("/d/a", 0, 0);
  ASSERT_EQ(motion.submitPosition("23", {moveTo("/d/a", 9, 9, over(1))}), std::nullopt);
  timers.advance(Seconds(0.1));
  ASSERT_EQ(motion.cancelPositions({"/d/a"}), CommandAnswer::success());
  const std::size_t written = motions().size();

  timers.advance(Seconds(1));

  EXPECT_EQ(timers.repeatingCount(), 0);
  EXPECT_EQ(motions().size(), written);
}

// The pointer: icon /d/a drawn in the box (80..120, 80..120) around its place (100, 100).
class PointerTest : public MotionCommandsTest {
 protected:
  void SetUp() override {
    place("/d/a", 100, 100);
    geometry.setIconBox("/d/a", {{80, 80}, {40, 40}});
    ASSERT_EQ(motion.submitPosition("run", {moveTo("/d/a", 500, 500, over(1))}), std::nullopt);
  }
};

TEST_F(PointerTest, AUserPressOnAnAnimatedIconTakesItOver) {
  pressAt({110, 90});

  EXPECT_TRUE(motion.isUserOwned("/d/a"));
  EXPECT_EQ(receiptsOf("run")[0]["status"], "cancelled");
  EXPECT_FALSE(motion.isMotionTimerRunning());
}

TEST_F(PointerTest, IgnoresSyntheticPressesAndPressesElsewhere) {
  geometry.setSynthesizing(true);
  pressAt({100, 100});
  geometry.setSynthesizing(false);
  pressAt({100, 100}, platform::kSyntheticPointerMarker);
  pressAt({100, 279.9});  // near enough to ask, but not on the icon
  pressAt({100, 280});    // too far to ask

  EXPECT_FALSE(motion.isUserOwned("/d/a"));
  EXPECT_TRUE(motion.positionMotion().isAnimating("/d/a"));
  EXPECT_EQ(geometry.hitQueries(), (std::vector<std::string>{"/d/a"}));
}

TEST_F(PointerTest, AnIdleIconGrabbedByTheUserIsOwnedWithoutAnyAnswer) {
  ASSERT_EQ(motion.cancelPositions({"/d/a"}), CommandAnswer::success());
  const std::size_t answered = answers().size();
  pressAt({100, 100});

  EXPECT_TRUE(motion.isUserOwned("/d/a"));
  EXPECT_EQ(answers().size(), answered);
}

TEST_F(PointerTest, AnOwnedIconMovesOnlyOnceReleasedAndReadable) {
  pressAt({100, 100});
  clearRecords();
  geometry.setPositionText("other\t10\t10\t64\t64\na\t321\t123\t64\t64");
  taps.setButtonDown(platform::EventTaps::MouseButton::left, true);

  EXPECT_EQ(motion.submitPosition("held", {moveTo("/d/a", 0, 0)}),
            CommandAnswer::failure("Position still owned by user or unreadable"));
  taps.setButtonDown(platform::EventTaps::MouseButton::left, false);
  geometry.setPositionText("other\t10\t10\t64\t64");
  EXPECT_EQ(motion.submitPosition("unreadable", {moveTo("/d/a", 0, 0)}),
            CommandAnswer::failure("Position still owned by user or unreadable"));
  EXPECT_TRUE(output.lines().empty());
  EXPECT_TRUE(motion.isUserOwned("/d/a"));

  geometry.setPositionText("other\t10\t10\t64\t64\na\t321\t123\t64\t64");
  ASSERT_EQ(motion.submitPosition("moved", {moveTo("/d/a", 0, 0, over(1))}), std::nullopt);
  EXPECT_FALSE(motion.isUserOwned("/d/a"));
  EXPECT_EQ(motions(), (std::vector<json>{json::parse(R"([{"path":"/d/a","x":321,"y":123}])")}));
  EXPECT_EQ(motion.nativePositions().at("/d/a"), (MotionPoint{321, 123}));
}

TEST_F(PointerTest, ARefusedOwnedPathRefusesTheWholeCommand) {
  pressAt({100, 100});
  clearRecords();

  EXPECT_EQ(motion.submitPosition("mixed", {moveTo("/d/new", 1, 1), moveTo("/d/a", 0, 0)}),
            CommandAnswer::failure("Position still owned by user or unreadable"));
  EXPECT_FALSE(motion.nativePositions().contains("/d/new"));
  EXPECT_TRUE(host.runs().empty());
}

TEST_F(PointerTest, APressDeliveredWhileACommandReadsPositionsWaitsForTheCommand) {
  // /d/b is the user's, so the command reads where Finder shows it; that read delivers a
  // press on /d/a, which the command has already decided to move on from where it is.
  place("/d/b", 300, 300);
  geometry.setIconBox("/d/b", {{280, 280}, {40, 40}});
  pressAt({300, 300});
  ASSERT_TRUE(motion.isUserOwned("/d/b"));
  geometry.setPositionText("b\t310\t320\t64\t64");
  geometry.duringNextRead([&] { pressAt({100, 100}); });

  ASSERT_EQ(
      motion.submitPosition("both", {moveTo("/d/a", 0, 0, over(1)), moveTo("/d/b", 0, 0, over(1))}),
      std::nullopt);

  EXPECT_EQ(receiptsOf("run")[0]["status"], "superseded") << "the command moved /d/a on";
  EXPECT_FALSE(motion.isUserOwned("/d/a"));
  EXPECT_EQ(timers.pendingCount(), 1) << "the press waits for the main loop";

  timers.runDue();

  EXPECT_TRUE(motion.isUserOwned("/d/a"));
  EXPECT_FALSE(motion.positionMotion().isAnimating("/d/a"));
  EXPECT_TRUE(motion.positionMotion().isAnimating("/d/b"));
}

TEST_F(PointerTest, APressLeftForTheMainLoopIsDroppedWhenTheCommandsGo) {
  auto other = std::make_unique<MotionCommands>(
      MotionCommands::Services{output, log, scripts, clock, timers, taps, geometry});
  ASSERT_EQ(other->submitPosition("place", {moveTo("/d/b", 300, 300)}), std::nullopt);
  geometry.setIconBox("/d/b", {{280, 280}, {40, 40}});
  pressAt({300, 300});
  ASSERT_TRUE(other->isUserOwned("/d/b"));
  geometry.setPositionText("b\t310\t320\t64\t64");
  geometry.duringNextRead([&] { pressAt({300, 300}); });
  ASSERT_EQ(other->submitPosition("move", {moveTo("/d/b", 0, 0, over(1))}), std::nullopt);
  ASSERT_EQ(timers.pendingCount(), 1) << "the press waits for the main loop";

  other.reset();
  // Runs the waiting task, which must not reach the commands that went.
  timers.runDue();

  EXPECT_EQ(timers.pendingCount(), 0);
  EXPECT_EQ(timers.repeatingCount(), 1) << "the fixture's animation alone";
}

TEST_F(PointerTest, DestroyingTheCommandsRemovesTheMonitor) {
  EXPECT_EQ(taps.monitorCount(), 1);
  {
    MotionCommands other{{output, log, scripts, clock, timers, taps, geometry}};
    EXPECT_EQ(taps.monitorCount(), 2);
  }
  EXPECT_EQ(taps.monitorCount(), 1);
}

}  // namespace
}  // namespace deskplay::glyphon
