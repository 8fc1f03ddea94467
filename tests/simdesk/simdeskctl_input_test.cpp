#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/sim/sim_event_taps.hpp"
#include "simdesk_session.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;

std::vector<json> jsonLines(const std::string& text) {
  std::vector<json> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(json::parse(text.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

class SimdeskctlInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(session_.desktop() / "note.txt", "hello");
    ASSERT_TRUE(session_.start({"--tap-timeout", "200"}));
  }

  json state() {
    const Completed shown = session_.ctl({"state"});
    EXPECT_EQ(shown.status, 0) << shown.errors;
    return json::parse(shown.output);
  }
  json item(const std::string& name) {
    const json shown = state();
    for (const json& entry : shown["finder"]["items"]) {
      if (entry["name"] == name) return entry;
    }
    return nullptr;
  }
  // What the applications received, as "app type keyCode characters flags".
  std::vector<std::string> received() {
    const Completed events = session_.ctl({"events"});
    EXPECT_EQ(events.status, 0) << events.errors;
    std::vector<std::string> lines;
    for (const json& record : jsonLines(events.output)) {
      if (record["stage"] != "application") continue;
      const json& event = record["event"];
      lines.push_back(record["app"].get<std::string>() + " " + event["type"].get<std::string>() +
                      " " + std::to_string(event["keyCode"].get<int>()) + " " +
                      event["characters"].get<std::string>() + " " +
                      std::to_string(event["flags"].get<std::uint64_t>()));
    }
    return lines;
  }

  SimdeskSession session_;
};

TEST_F(SimdeskctlInputTest, DraggingAnIconMovesItInFindersModelAndSelectsIt) {
  const json before = item("note.txt");
  ASSERT_TRUE(before.is_object());
  const double x = before["position"]["x"];
  const double y = before["position"]["y"];
  const Completed dragged =
      session_.ctl({"drag", std::to_string(x), std::to_string(y), "400", "300", "--steps", "5"});
  ASSERT_EQ(dragged.status, 0) << dragged.errors;

  const json after = state();
  json moved;
  for (const json& entry : after["finder"]["items"]) {
    if (entry["name"] == "note.txt") moved = entry;
  }
  EXPECT_EQ(moved["position"], (json{{"x", 400.0}, {"y", 300.0}}));
  EXPECT_EQ(after["input"]["desktopSelection"],
            json::array({(session_.desktop() / "note.txt").string()}));
  EXPECT_EQ(after["input"]["leftButtonDown"], false);
  EXPECT_EQ(after["input"]["pointer"], (json{{"x", 400.0}, {"y", 300.0}}));
}

TEST_F(SimdeskctlInputTest, KeysAndTypedTextReachTheFrontmostApplication) {
  ASSERT_EQ(session_.ctl({"type", "aB"}).status, 0);
  ASSERT_EQ(session_.ctl({"key", "12", "--flags", "control,option", "--down"}).status, 0);
  ASSERT_EQ(session_.ctl({"key", "53", "--chars", "\x1b", "--up"}).status, 0);
  // Modifier keys only change the flags, as on the Mac.
  ASSERT_EQ(session_.ctl({"key", "56"}).status, 0);
  ASSERT_EQ(session_.ctl({"key", "55", "--flags", "shift", "--down"}).status, 0);
  const std::string shift = std::to_string(platform::event_flags::shift);
  const std::string controlOption =
      std::to_string(platform::event_flags::control | platform::event_flags::option);
  const std::string shiftCommand =
      std::to_string(platform::event_flags::shift | platform::event_flags::command);
  EXPECT_EQ(received(), (std::vector<std::string>{
                            "Finder keyDown 0 a 0", "Finder keyUp 0 a 0",
                            "Finder keyDown 11 B " + shift, "Finder keyUp 11 B " + shift,
                            "Finder keyDown 12 q " + controlOption, "Finder keyUp 53 \x1b 0",
                            "Finder flagsChanged 56  " + shift, "Finder flagsChanged 56  0",
                            "Finder flagsChanged 55  " + shiftCommand}));
}

TEST_F(SimdeskctlInputTest, ClicksAndMovesGoUnderThePointerAndTheLogSaysSo) {
  ASSERT_EQ(session_.ctl({"click", "700", "500", "--right", "--control"}).status, 0);
  ASSERT_EQ(session_.ctl({"move", "720", "10"}).status, 0);
  const std::string control = std::to_string(platform::event_flags::control);
  EXPECT_EQ(received(), (std::vector<std::string>{"Finder rightMouseDown 0  " + control,
                                                  "Finder rightMouseUp 0  " + control,
                                                  "Finder mouseMoved 0  0"}))
      << "the menu bar belongs to the frontmost application";
}

TEST_F(SimdeskctlInputTest, ReturnsOnlyOnceAnUnansweringTapHasTimedOut) {
  // A tap in this process that nobody serves: simdesk waits for it, then disables it.
  auto connection = session_.connect("Deskplay");
  platform::SimEventTaps taps(*connection);
  auto tap =
      taps.createSessionTap(platform::eventMaskOf(platform::EventType::keyDown),
                            [](const platform::Event&) { return platform::TapVerdict::swallow; });
  ASSERT_NE(tap, nullptr);
  tap->enable();

  const Completed typed = session_.ctl({"key", "0"});
  ASSERT_EQ(typed.status, 0) << typed.errors;
  const Completed events = session_.ctl({"events"});
  const auto records = jsonLines(events.output);
  ASSERT_EQ(records.size(), 3u) << events.output;
  EXPECT_EQ(records[0]["stage"], "tap");
  EXPECT_EQ(records[0]["action"], "timedOut");
  EXPECT_EQ(records[0]["app"], "Deskplay");
  EXPECT_EQ(records[1]["event"]["type"], "keyDown");
  EXPECT_EQ(records[1]["stage"], "application");
  EXPECT_EQ(records[2]["event"]["type"], "keyUp");
  EXPECT_FALSE(tap->isEnabled());
}

TEST_F(SimdeskctlInputTest, BadUseIsRefusedInOneLineBeforeAnythingIsSent) {
  const std::vector<std::vector<std::string>> bad = {
      {"key"},
      {"key", "300"},
      {"key", "a"},
      {"key", "1", "--flags", "hyper"},
      {"key", "1", "--up", "--down"},
      {"key", "1", "--chars"},
      {"click", "1"},
      {"click", "1", "2", "--middle"},
      {"drag", "1", "2", "3"},
      {"drag", "1", "2", "3", "4", "--steps", "0"},
      {"move", "x", "y"},
      {"type"},
      {"events", "all"},
  };
  for (const auto& arguments : bad) {
    const Completed refused = session_.ctl(arguments);
    EXPECT_EQ(refused.status, 2) << arguments[0];
    EXPECT_EQ(std::count(refused.errors.begin(), refused.errors.end(), '\n'), 1) << refused.errors;
  }
  const Completed untypable = session_.ctl({"type", "a\u00e9"});
  EXPECT_EQ(untypable.status, 1);
  EXPECT_EQ(untypable.errors, "simdeskctl: no key types U+E9 on a US keyboard\n");
  EXPECT_TRUE(received().empty());
}

TEST(SimdeskctlInputWithoutSimdeskTest, InputCommandsFail) {
  SimdeskSession session;
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"key", "0"}, {"type", "a"}, {"click", "1", "2"}, {"events"}}) {
    const Completed failed = session.ctl(arguments);
    EXPECT_EQ(failed.status, 1) << arguments[0];
    EXPECT_TRUE(failed.errors.starts_with("simdeskctl: simdesk is not running")) << failed.errors;
  }
}

}  // namespace
}  // namespace deskplay::testing
