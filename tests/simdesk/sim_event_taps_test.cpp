#include "platform/sim/sim_event_taps.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/sim/sim_accessibility.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;
using platform::Event;
using platform::EventType;
using platform::TapVerdict;

constexpr platform::EventMask kKeyDown = platform::eventMaskOf(EventType::keyDown);
constexpr platform::EventMask kLeftDown = platform::eventMaskOf(EventType::leftMouseDown);

// A program with a tap, as Keyhark runs one: its connection is served by `pump`, the test's
// main loop.
class SimEventTapsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_.start({"--tap-timeout", "300"})); }

  void pump() { connection_->dispatchEvents(); }
  // Runs the loop until `done` (pushed events to this process may come after the delivery).
  bool pumpUntil(const std::function<bool()>& done) {
    return eventually([&] {
      pump();
      return done();
    });
  }
  bool deliver() {
    return input_->waitUntilDelivered([this] { pump(); });
  }

  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_ = session_.connect("Keyhark");
  platform::SimEventTaps taps_{*connection_};
  std::unique_ptr<SimdeskInput> input_ = std::make_unique<SimdeskInput>(session_);
};

TEST_F(SimEventTapsTest, AnEnabledTapSwallowsAKeyWithItsCodeFlagsAndCharacters) {
  std::vector<Event> seen;
  auto tap = taps_.createSessionTap(kKeyDown, [&](const Event& event) {
    seen.push_back(event);
    return TapVerdict::swallow;
  });
  ASSERT_NE(tap, nullptr);
  EXPECT_FALSE(tap->isEnabled()) << "a new tap waits to be enabled";
  tap->enable();
  EXPECT_TRUE(tap->isEnabled());

  ASSERT_TRUE(input_->key(0, "a", platform::event_flags::shift));
  ASSERT_TRUE(deliver());

  ASSERT_EQ(seen.size(), 1u) << "the key up is not in the mask";
  EXPECT_EQ(seen[0].type, EventType::keyDown);
  EXPECT_EQ(seen[0].keyCode, 0);
  EXPECT_EQ(seen[0].charactersIgnoringModifiers, "a");
  EXPECT_EQ(seen[0].flags, platform::event_flags::shift);
  std::vector<std::string> keyDownStages;
  for (const json& record : session_.deliveryLog()) {
    if (record["event"]["type"] == "keyDown") {
      keyDownStages.push_back(record["stage"].get<std::string>() + ":" +
                              record.value("action", std::string()));
    }
  }
  EXPECT_EQ(keyDownStages, (std::vector<std::string>{"tap:swallowed"}));
}

TEST_F(SimEventTapsTest, ATapThatIsNotServedIsDisabledToldSoAndCanBeEnabledAgain) {
  std::vector<EventType> seen;
  auto tap = taps_.createSessionTap(kKeyDown, [&](const Event& event) {
    seen.push_back(event.type);
    return TapVerdict::swallow;
  });
  ASSERT_NE(tap, nullptr);
  tap->enable();

  ASSERT_TRUE(input_->key(1, "s"));
  ASSERT_TRUE(input_->waitUntilDelivered()) << "the event goes on without the tap's verdict";
  EXPECT_FALSE(tap->isEnabled());
  EXPECT_TRUE(pumpUntil([&] { return seen.size() >= 2; }));
  EXPECT_EQ(seen, (std::vector<EventType>{EventType::keyDown, EventType::tapDisabledByTimeout}));

  tap->enable();
  ASSERT_TRUE(input_->key(2, "d"));
  ASSERT_TRUE(deliver());
  EXPECT_EQ(seen.back(), EventType::keyDown);
  EXPECT_TRUE(tap->isEnabled());
}

TEST_F(SimEventTapsTest, ATapCallbackMayAskSimdeskWhileTheEventWaits) {
  platform::SimAccessibility accessibility(*connection_);
  std::optional<platform::AccessibilityElement> hit;
  auto tap = taps_.createSessionTap(kLeftDown, [&](const Event& event) {
    hit = accessibility.elementAtPoint(static_cast<float>(event.location.x),
                                       static_cast<float>(event.location.y));
    return TapVerdict::pass;
  });
  ASSERT_NE(tap, nullptr);
  tap->enable();
  ASSERT_TRUE(input_->click({700, 500}));
  ASSERT_TRUE(deliver());
  EXPECT_TRUE(hit) << "the desktop is under the pointer";
  EXPECT_TRUE(tap->isEnabled()) << "answered in time";
}

TEST_F(SimEventTapsTest, KeyboardTapsAreRefusedWithoutEitherPermission) {
  ASSERT_EQ(session_.ctl({"privacy", "revoke", "accessibility", "Keyhark"}).status, 0);
  EXPECT_NE(taps_.createSessionTap(kKeyDown, [](const Event&) { return TapVerdict::pass; }),
            nullptr)
      << "Input Monitoring is enough";
  ASSERT_EQ(session_.ctl({"privacy", "revoke", "input-monitoring", "Keyhark"}).status, 0);
  EXPECT_EQ(taps_.createSessionTap(kKeyDown, [](const Event&) { return TapVerdict::pass; }),
            nullptr);
  EXPECT_NE(taps_.createSessionTap(kLeftDown, [](const Event&) { return TapVerdict::pass; }),
            nullptr);
}

TEST_F(SimEventTapsTest, PostedEventsCarryTheMarkerAndMoveThePointerWhichWarpsSilently) {
  std::vector<Event> seen;
  auto tap = taps_.createSessionTap(kLeftDown, [&](const Event& event) {
    seen.push_back(event);
    return TapVerdict::pass;
  });
  ASSERT_NE(tap, nullptr);
  tap->enable();
  Event press;
  press.type = EventType::leftMouseDown;
  press.location = {300, 320};
  press.sourceUserData = platform::kSyntheticPointerMarker;
  ASSERT_TRUE(taps_.post(press, platform::EventTaps::PostLocation::hidSystem));
  EXPECT_TRUE(taps_.isButtonDown(platform::EventTaps::MouseButton::left));
  EXPECT_FALSE(taps_.isButtonDown(platform::EventTaps::MouseButton::right));
  EXPECT_EQ(taps_.pointerLocation(), (platform::Point{300, 320}));
  // The event waits for this process's verdict until the loop runs.
  ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].sourceUserData, platform::kSyntheticPointerMarker);

  ASSERT_TRUE(taps_.warpPointer({5, 6}));
  EXPECT_EQ(taps_.pointerLocation(), (platform::Point{5, 6}));
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(SimEventTapsTest, AGlobalMonitorSeesOtherApplicationsEventsUntilItIsDropped) {
  std::vector<platform::Point> seen;
  auto monitor = taps_.addGlobalMonitor(
      kLeftDown, [&](const Event& event) { seen.push_back(event.location); });
  ASSERT_NE(monitor, nullptr);
  ASSERT_TRUE(input_->click({700, 500}));
  ASSERT_TRUE(deliver());
  ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
  EXPECT_EQ(seen, (std::vector<platform::Point>{{700, 500}}));
  monitor.reset();
  ASSERT_TRUE(input_->click({710, 500}));
  ASSERT_TRUE(deliver());
  pump();
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(SimEventTapsTest, TapsAndMonitorsComeBackAfterSimdeskRestarted) {
  int keys = 0;
  int clicks = 0;
  auto tap = taps_.createSessionTap(kKeyDown, [&](const Event&) {
    ++keys;
    return TapVerdict::pass;
  });
  ASSERT_NE(tap, nullptr);
  tap->enable();
  auto monitor = taps_.addGlobalMonitor(kLeftDown, [&](const Event&) { ++clicks; });

  session_.stop();
  ASSERT_TRUE(session_.start({"--tap-timeout", "300"}));
  // The adapter learns of the restart at its next call.
  EXPECT_TRUE(taps_.pointerLocation());
  EXPECT_TRUE(tap->isEnabled());

  ASSERT_TRUE(input_->key(3, "f"));
  ASSERT_TRUE(input_->click({700, 500}));
  ASSERT_TRUE(deliver());
  EXPECT_TRUE(pumpUntil([&] { return clicks > 0; }));
  EXPECT_EQ(keys, 1);
  EXPECT_EQ(clicks, 1);
}

TEST(SimEventTapsWithoutSimdeskTest, NothingWorksAndNothingBreaks) {
  TempDir folder;
  simdesk::protocol::Connection connection({folder / "none.sock", "Keyhark", 1234});
  platform::SimEventTaps taps(connection);
  EXPECT_EQ(taps.createSessionTap(kKeyDown, [](const Event&) { return TapVerdict::pass; }),
            nullptr);
  EXPECT_FALSE(taps.post(Event{}, platform::EventTaps::PostLocation::session));
  EXPECT_FALSE(taps.pointerLocation());
  EXPECT_FALSE(taps.isButtonDown(platform::EventTaps::MouseButton::left));
  EXPECT_FALSE(taps.warpPointer({1, 1}));
  auto monitor = taps.addGlobalMonitor(kLeftDown, [](const Event&) {});
  EXPECT_NE(monitor, nullptr);
  monitor.reset();
  connection.dispatchEvents();
}

}  // namespace
}  // namespace deskplay::testing
