#include "sim/simdesk/model/event_pipeline.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

using platform::Event;
using platform::EventType;
using platform::TapVerdict;
using Stage = DeliveryRecord::Stage;

constexpr platform::ProcessId kGame = 500;
constexpr platform::ProcessId kWatcher = 600;
constexpr platform::ProcessId kEditor = 700;
constexpr platform::EventMask kKeys =
    platform::eventMaskOf(EventType::keyDown) | platform::eventMaskOf(EventType::keyUp);
constexpr platform::EventMask kLeftDown = platform::eventMaskOf(EventType::leftMouseDown);

Event key(std::int64_t keyCode, EventType type = EventType::keyDown) {
  Event event;
  event.type = type;
  event.keyCode = keyCode;
  return event;
}

Event mouse(EventType type, platform::Point location, std::int64_t userData = 0) {
  Event event;
  event.type = type;
  event.location = location;
  event.sourceUserData = userData;
  return event;
}

// A tap client: records what it is given and answers at once with `verdict`, or holds the
// event when `verdict` is empty (a slow client).
struct TapClient {
  std::optional<TapVerdict> verdict = TapVerdict::pass;
  std::vector<std::pair<std::uint64_t, Event>> received;
  std::vector<std::uint64_t>* order = nullptr;  // shared record of who saw what first
  std::uint64_t id = 0;

  EventPipeline::TapDelivery delivery(EventPipeline& pipeline) {
    return [this, &pipeline](std::uint64_t sequence, const Event& event) {
      received.emplace_back(sequence, event);
      if (order != nullptr && sequence != 0) order->push_back(id);
      if (sequence != 0 && verdict) pipeline.answer(id, sequence, *verdict);
    };
  }
  std::vector<std::int64_t> keyCodes() const {
    std::vector<std::int64_t> codes;
    for (const auto& [sequence, event] : received) {
      if (sequence != 0) codes.push_back(event.keyCode);
    }
    return codes;
  }
};

class EventPipelineTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    desktop().clientConnected(kGame, "Deskplay");
    desktop().clientConnected(kWatcher, "Watcher");
    desktop().clientConnected(kEditor, "Editor");
    ASSERT_TRUE(desktop().applications().activate(kEditor));
  }

  EventPipeline& events() { return desktop().events(); }

  std::uint64_t install(TapClient& client, platform::ProcessId owner, platform::EventMask mask,
                        std::uint64_t connection = 1) {
    auto tap = events().createTap({owner, connection}, mask, client.delivery(events()));
    EXPECT_TRUE(tap.has_value());
    client.id = tap.value_or(0);
    EXPECT_TRUE(events().setTapEnabled(client.id, true));
    return client.id;
  }

  // The key codes each stage received, in log order.
  std::vector<std::int64_t> receivedBy(Stage stage, platform::ProcessId pid) {
    std::vector<std::int64_t> codes;
    for (const auto& entry : events().log()) {
      if (entry.stage == stage && entry.pid == pid) codes.push_back(entry.event.keyCode);
    }
    return codes;
  }

  std::uint32_t window(platform::ProcessId owner, const platform::Rect& topLeft,
                       bool clickThrough) {
    auto& server = desktop().windowServer();
    const auto number =
        server.createWindow(owner, platform::WindowSpec{desktop().screens().toBottomLeft(topLeft)});
    platform::WindowTraits traits;
    traits.level = levels::desktopIcon + 1;
    traits.ignoresMouseEvents = clickThrough;
    EXPECT_TRUE(server.configure(number, traits).ok());
    EXPECT_TRUE(server.orderFront(number).ok());
    return number;
  }
};

TEST_F(EventPipelineTest, TheNewestTapSeesAKeyFirstThenTheOlderOneThenMonitorsAndTheFrontApp) {
  std::vector<std::uint64_t> order;
  TapClient older;
  TapClient newer;
  older.order = &order;
  newer.order = &order;
  install(older, kGame, kKeys);
  install(newer, kWatcher, kKeys);
  std::vector<Event> monitored;
  events().addMonitor({kWatcher, 2}, kKeys,
                      [&](const Event& event) { monitored.push_back(event); });

  Event a = key(0);
  a.characters = "a";
  a.charactersIgnoringModifiers = "a";
  a.flags = platform::event_flags::shift;
  const std::uint64_t sequence = events().inject(a);

  EXPECT_EQ(order, (std::vector<std::uint64_t>{newer.id, older.id}));
  ASSERT_EQ(older.received.size(), 1u);
  EXPECT_EQ(older.received[0].first, sequence);
  EXPECT_EQ(older.received[0].second.characters, "a");
  EXPECT_EQ(older.received[0].second.flags, platform::event_flags::shift);
  ASSERT_EQ(monitored.size(), 1u);
  EXPECT_EQ(monitored[0].keyCode, 0);
  EXPECT_EQ(events().lastDelivered(), sequence);

  std::vector<Stage> stages;
  for (const auto& entry : events().log()) stages.push_back(entry.stage);
  EXPECT_EQ(stages,
            (std::vector<Stage>{Stage::tap, Stage::tap, Stage::monitor, Stage::application}));
  EXPECT_EQ(events().log().back().pid, kEditor);
  EXPECT_EQ(events().log().back().application, "Editor");
}

TEST_F(EventPipelineTest, ASwallowedEventReachesNoLaterTapNoMonitorAndNoApplication) {
  TapClient older;
  TapClient swallower;
  swallower.verdict = TapVerdict::swallow;
  install(older, kGame, kKeys);
  install(swallower, kWatcher, kKeys);
  int monitored = 0;
  events().addMonitor({kGame, 1}, kKeys, [&](const Event&) { ++monitored; });

  const std::uint64_t sequence = events().inject(key(12));

  EXPECT_TRUE(older.received.empty());
  EXPECT_EQ(monitored, 0);
  EXPECT_TRUE(receivedBy(Stage::application, kEditor).empty());
  ASSERT_EQ(events().log().size(), 1u);
  EXPECT_EQ(events().log()[0].action, TapAction::swallowed);
  EXPECT_EQ(events().lastDelivered(), sequence) << "a swallowed event's way has ended too";
}

TEST_F(EventPipelineTest, TheTargetReceivesExactlyTheEventsNoTapSwallowed) {
  TapClient picky;
  install(picky, kGame, kKeys);
  picky.verdict.reset();
  for (const std::int64_t code : {0, 1, 2, 3}) events().inject(key(code));
  // Answered one at a time: swallow the even key codes.
  for (std::size_t answered = 0; answered < 4; ++answered) {
    ASSERT_EQ(picky.received.size(), answered + 1) << "the next event waits for the verdict";
    const auto& [sequence, event] = picky.received.back();
    events().answer(picky.id, sequence,
                    event.keyCode % 2 == 0 ? TapVerdict::swallow : TapVerdict::pass);
  }
  EXPECT_EQ(receivedBy(Stage::application, kEditor), (std::vector<std::int64_t>{1, 3}));
}

TEST_F(EventPipelineTest, ATapThatDoesNotAnswerIsDisabledToldSoAndTheEventGoesOn) {
  TapClient slow;
  install(slow, kGame, kKeys);
  slow.verdict.reset();
  const std::uint64_t first = events().inject(key(4));
  events().inject(key(5));
  EXPECT_EQ(events().timeToNextTimeout(), EventPipeline::kDefaultTapTimeout);
  EXPECT_EQ(events().lastDelivered(), 0u);

  clock_.advance(platform::Clock::Seconds(0.5));
  events().settle();
  EXPECT_EQ(events().isTapEnabled(slow.id), true) << "not yet";
  clock_.advance(platform::Clock::Seconds(0.5));
  events().settle();

  EXPECT_EQ(events().isTapEnabled(slow.id), false);
  ASSERT_EQ(slow.received.size(), 2u) << "the event and then the notice";
  EXPECT_EQ(slow.received[1].first, 0u);
  EXPECT_EQ(slow.received[1].second.type, EventType::tapDisabledByTimeout);
  EXPECT_EQ(receivedBy(Stage::application, kEditor), (std::vector<std::int64_t>{4, 5}))
      << "the disabled tap does not hold up the next event either";
  EXPECT_EQ(events().log().front().action, TapAction::timedOut);

  // A late verdict changes nothing; enabling the tap again resumes delivery.
  events().answer(slow.id, first, TapVerdict::swallow);
  slow.verdict = TapVerdict::swallow;
  ASSERT_TRUE(events().setTapEnabled(slow.id, true));
  events().inject(key(6));
  EXPECT_EQ(slow.keyCodes(), (std::vector<std::int64_t>{4, 6}));
  EXPECT_EQ(receivedBy(Stage::application, kEditor), (std::vector<std::int64_t>{4, 5}));
  EXPECT_FALSE(events().timeToNextTimeout());
}

TEST_F(EventPipelineTest, ATapSeesOnlyItsEventTypesAndOnlyWhileEnabled) {
  TapClient keyDowns;
  const auto id = events().createTap({kGame, 1}, platform::eventMaskOf(EventType::keyDown),
                                     keyDowns.delivery(events()));
  ASSERT_TRUE(id);
  keyDowns.id = *id;
  events().inject(key(1));
  EXPECT_TRUE(keyDowns.received.empty()) << "a new tap is disabled";
  ASSERT_TRUE(events().setTapEnabled(*id, true));
  events().inject(key(2, EventType::keyUp));
  events().inject(mouse(EventType::leftMouseDown, {700, 400}));
  events().inject(key(3));
  EXPECT_EQ(keyDowns.keyCodes(), (std::vector<std::int64_t>{3}));
  EXPECT_FALSE(events().setTapEnabled(9999, true));
}

TEST_F(EventPipelineTest, PostedEventsCarryTheirUserDataAndThePersonsCarryNone) {
  TapClient tap;
  install(tap, kGame, kLeftDown);
  events().post(mouse(EventType::leftMouseDown, {300, 300}, platform::kSyntheticPointerMarker));
  events().inject(mouse(EventType::leftMouseDown, {300, 300}, 77));
  ASSERT_EQ(tap.received.size(), 2u);
  EXPECT_EQ(tap.received[0].second.sourceUserData, platform::kSyntheticPointerMarker);
  EXPECT_EQ(tap.received[1].second.sourceUserData, 0);
  EXPECT_EQ(events().log()[0].origin, EventOrigin::posted);
  EXPECT_EQ(events().log().back().origin, EventOrigin::hardware);
}

TEST_F(EventPipelineTest, KeyboardTapsNeedAccessibilityOrInputMonitoring) {
  struct Case {
    bool accessibility;
    bool inputMonitoring;
    platform::EventMask mask;
    bool created;
  };
  const Case cases[] = {
      {true, true, kKeys, true},    {false, true, kKeys, true},      {true, false, kKeys, true},
      {false, false, kKeys, false}, {false, false, kLeftDown, true},
  };
  auto& privacy = desktop().privacy();
  for (const Case& test : cases) {
    const auto set = [&](PrivacyService service, bool granted) {
      granted ? privacy.grant(service, "Deskplay") : privacy.revoke(service, "Deskplay");
    };
    set(PrivacyService::accessibility, test.accessibility);
    set(PrivacyService::inputMonitoring, test.inputMonitoring);
    const auto tap = events().createTap({kGame, 1}, test.mask, [](std::uint64_t, const Event&) {});
    EXPECT_EQ(tap.has_value(), test.created)
        << test.accessibility << test.inputMonitoring << " mask " << test.mask;
  }
}

TEST_F(EventPipelineTest, AClientThatGoesTakesItsTapsAndMonitorsAndAnAwaitedEventGoesOn) {
  TapClient held;
  install(held, kGame, kKeys, 7);
  held.verdict.reset();
  int monitored = 0;
  events().addMonitor({kGame, 7}, kKeys, [&](const Event&) { ++monitored; });
  events().inject(key(9));
  EXPECT_TRUE(receivedBy(Stage::application, kEditor).empty());

  events().removeClient(7);

  EXPECT_EQ(receivedBy(Stage::application, kEditor), (std::vector<std::int64_t>{9}));
  EXPECT_EQ(monitored, 0);
  EXPECT_FALSE(events().isTapEnabled(held.id));
  EXPECT_FALSE(events().timeToNextTimeout());
}

TEST_F(EventPipelineTest, MonitorsSeeOnlyEventsForOtherApplicationsAndKeysOnlyWhenTrusted) {
  std::vector<std::int64_t> mine;
  std::vector<std::int64_t> others;
  events().addMonitor({kEditor, 1}, kKeys,
                      [&](const Event& event) { mine.push_back(event.keyCode); });
  events().addMonitor({kWatcher, 2}, kKeys,
                      [&](const Event& event) { others.push_back(event.keyCode); });
  events().inject(key(1));
  desktop().privacy().revoke(PrivacyService::accessibility, "Watcher");
  desktop().privacy().revoke(PrivacyService::inputMonitoring, "Watcher");
  events().inject(key(2));
  EXPECT_TRUE(mine.empty()) << "the frontmost application's own monitor";
  EXPECT_EQ(others, (std::vector<std::int64_t>{1}));
}

TEST_F(EventPipelineTest, ThePointerAndTheButtonsFollowTheEventsAndWarpingSendsNone) {
  using Button = platform::EventTaps::MouseButton;
  events().inject(mouse(EventType::leftMouseDown, {100, 200}));
  EXPECT_TRUE(events().isButtonDown(Button::left));
  EXPECT_FALSE(events().isButtonDown(Button::right));
  EXPECT_EQ(events().pointer(), (platform::Point{100, 200}));
  events().inject(key(0));
  EXPECT_EQ(events().pointer(), (platform::Point{100, 200})) << "keys do not move the pointer";
  EXPECT_EQ(events().log().back().event.location, (platform::Point{100, 200}))
      << "a key event carries where the pointer is";
  events().inject(mouse(EventType::leftMouseUp, {110, 210}));
  events().inject(mouse(EventType::rightMouseDown, {110, 210}));
  EXPECT_FALSE(events().isButtonDown(Button::left));
  EXPECT_TRUE(events().isButtonDown(Button::right));

  const std::size_t logged = events().log().size();
  events().warpPointer({5, 6});
  EXPECT_EQ(events().pointer(), (platform::Point{5, 6}));
  EXPECT_EQ(events().log().size(), logged);
}

TEST_F(EventPipelineTest, AClickGoesToTheWindowUnderThePointerSkippingClickThroughOnes) {
  window(kWatcher, {{0, 300}, {400, 300}}, false);
  window(kGame, {{200, 300}, {400, 300}}, true);
  const auto finderPid = finder().pid();
  struct Case {
    platform::Point at;
    std::optional<platform::ProcessId> receiver;
  };
  const Case cases[] = {
      {{100, 400}, kWatcher},   // the cover
      {{300, 400}, kWatcher},   // through the click-through window to the cover below
      {{500, 400}, finderPid},  // the desktop
      {{500, 890}, Applications::kDockPid},
  };
  for (const Case& test : cases) {
    events().inject(mouse(EventType::leftMouseDown, test.at));
    events().inject(mouse(EventType::leftMouseUp, test.at));
    const auto& entries = events().log();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2].stage, Stage::application);
    EXPECT_EQ(entries[entries.size() - 2].pid, test.receiver) << test.at.x << "," << test.at.y;
    EXPECT_EQ(entries.back().pid, test.receiver) << "the release goes where the press went";
  }
}

}  // namespace
}  // namespace deskplay::simdesk
