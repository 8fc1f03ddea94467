#include "ui/menubar/event_monitor.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_status_items.hpp"

namespace deskplay::ui {
namespace {

using platform::ClickVerdict;
using platform::EventType;
using platform::PointerButton;
using platform::StatusItemClick;

constexpr platform::EventMask kLeftDowns = platform::eventMaskOf(EventType::leftMouseDown);

StatusItemClick clickOf(PointerButton button) {
  StatusItemClick click;
  click.button = button;
  return click;
}

platform::Event eventOf(EventType type) {
  platform::Event event;
  event.type = type;
  return event;
}

TEST(LocalEventMonitor, SwallowsWhatTheHandlerKeepsAndPassesWhatItGivesBack) {
  platform::testing::FakeStatusItems bar;
  const auto item = bar.createItem({});
  auto& button = *bar.items().front();
  bool swallow = true;
  int seen = 0;
  LocalEventMonitor monitor(*item, kLeftDowns,
                            [&](const StatusItemClick& click) -> std::optional<StatusItemClick> {
                              ++seen;
                              if (swallow) return std::nullopt;
                              return click;
                            });
  EXPECT_EQ(button.click(clickOf(PointerButton::left)), ClickVerdict::pass) << "not started yet";
  monitor.start();
  EXPECT_TRUE(monitor.isStarted());
  EXPECT_EQ(button.click(clickOf(PointerButton::left)), ClickVerdict::take);
  swallow = false;
  EXPECT_EQ(button.click(clickOf(PointerButton::left)), ClickVerdict::pass);
  EXPECT_EQ(button.click(clickOf(PointerButton::right)), ClickVerdict::pass) << "outside the mask";
  EXPECT_EQ(seen, 2);
  monitor.stop();
  swallow = true;
  EXPECT_EQ(button.click(clickOf(PointerButton::left)), ClickVerdict::pass);
  EXPECT_EQ(seen, 2);
}

TEST(GlobalEventMonitor, ObservesMouseDownsOfItsMaskUntilStopped) {
  platform::testing::FakeEventTaps taps;
  std::vector<EventType> seen;
  GlobalEventMonitor monitor(taps, kLeftDowns,
                             [&](const platform::Event& event) { seen.push_back(event.type); });
  monitor.start();
  monitor.start();
  EXPECT_EQ(taps.monitorCount(), 1) << "a second start replaces the first monitor";
  taps.deliverToMonitors(eventOf(EventType::leftMouseDown));
  taps.deliverToMonitors(eventOf(EventType::rightMouseDown));
  monitor.stop();
  taps.deliverToMonitors(eventOf(EventType::leftMouseDown));
  EXPECT_EQ(seen, std::vector<EventType>{EventType::leftMouseDown});
  EXPECT_EQ(taps.monitorCount(), 0);
}

}  // namespace
}  // namespace deskplay::ui
