#include "platform/testing/fake_event_taps.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace deskplay::platform::testing {
namespace {

Event keyDown(std::int64_t keyCode) {
  Event event;
  event.type = EventType::keyDown;
  event.keyCode = keyCode;
  return event;
}

TEST(FakeEventTaps, NewestTapSeesEventsFirstAndASwallowStopsThem) {
  FakeEventTaps taps;
  std::vector<std::string> seen;
  auto older = taps.createSessionTap(eventMaskOf(EventType::keyDown), [&](const Event&) {
    seen.push_back("older");
    return TapVerdict::pass;
  });
  auto newer = taps.createSessionTap(eventMaskOf(EventType::keyDown), [&](const Event& event) {
    seen.push_back("newer");
    return event.keyCode == 0 ? TapVerdict::swallow : TapVerdict::pass;
  });
  EXPECT_EQ(taps.inject(keyDown(0)), TapVerdict::pass) << "taps deliver nothing until enabled";
  older->enable();
  newer->enable();

  EXPECT_EQ(taps.inject(keyDown(0)), TapVerdict::swallow);
  EXPECT_EQ(taps.inject(keyDown(1)), TapVerdict::pass);
  EXPECT_EQ(seen, (std::vector<std::string>{"newer", "newer", "older"}));

  newer.reset();
  EXPECT_EQ(taps.tapCount(), 1);
  EXPECT_EQ(taps.inject(keyDown(0)), TapVerdict::pass);
}

TEST(FakeEventTaps, DisabledTapIsToldAndMaySwitchItselfBackOn) {
  FakeEventTaps taps;
  std::vector<EventType> notices;
  std::unique_ptr<EventTap> tap;
  tap = taps.createSessionTap(eventMaskOf(EventType::keyDown), [&](const Event& event) {
    if (event.type == EventType::tapDisabledByTimeout) {
      notices.push_back(event.type);
      tap->enable();
    }
    return TapVerdict::swallow;
  });
  tap->enable();
  taps.disableTapsByTimeout();
  EXPECT_EQ(notices, std::vector<EventType>{EventType::tapDisabledByTimeout});
  EXPECT_TRUE(tap->isEnabled());
  EXPECT_EQ(taps.inject(keyDown(3)), TapVerdict::swallow);
}

TEST(FakeEventTaps, MonitorsGetOnlyTheirTypesUntilRemoved) {
  FakeEventTaps taps;
  int downs = 0;
  auto monitor =
      taps.addGlobalMonitor(eventMaskOf(EventType::leftMouseDown), [&](const Event&) { ++downs; });
  Event down;
  down.type = EventType::leftMouseDown;
  Event up;
  up.type = EventType::leftMouseUp;
  taps.deliverToMonitors(down);
  taps.deliverToMonitors(up);
  monitor.reset();
  taps.deliverToMonitors(down);
  EXPECT_EQ(downs, 1);
}

}  // namespace
}  // namespace deskplay::platform::testing
