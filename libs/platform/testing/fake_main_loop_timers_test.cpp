#include "platform/testing/fake_main_loop_timers.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace deskplay::platform::testing {
namespace {

using Seconds = Clock::Seconds;

TEST(FakeMainLoopTimersTest, RunsTasksInTimeOrderWithTheClockAtTheirTime) {
  FakeClock clock(Seconds(100));
  FakeMainLoopTimers timers(clock);
  std::vector<std::string> log;

  timers.after(Seconds(0.6),
               [&] { log.push_back("once@" + std::to_string(clock.uptime().count())); });
  const auto handle = timers.repeating(Seconds(0.25), [&] { log.push_back("tick"); });
  timers.after(Seconds(-1), [&] { log.push_back("late"); });

  timers.advance(Seconds(0.75));

  EXPECT_EQ(log, (std::vector<std::string>{"late", "tick", "tick", "once@100.600000", "tick"}));
  EXPECT_DOUBLE_EQ(clock.uptime().count(), 100.75);
  EXPECT_EQ(timers.pendingCount(), 0);
  EXPECT_EQ(timers.repeatingCount(), 1);
}

TEST(FakeMainLoopTimersTest, AHandleStopsItsTimerEvenFromItsOwnTick) {
  FakeClock clock;
  FakeMainLoopTimers timers(clock);
  int ticks = 0;
  std::unique_ptr<TimerHandle> handle;
  handle = timers.repeating(Seconds(1), [&] {
    if (++ticks == 2) handle.reset();
  });

  timers.advance(Seconds(10));

  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(timers.repeatingCount(), 0);
}

TEST(FakeMainLoopTimersTest, AHandleMayOutliveTheTimers) {
  FakeClock clock;
  int oldTicks = 0;
  auto token = std::make_shared<int>(0);
  std::unique_ptr<TimerHandle> oldHandle;
  {
    FakeMainLoopTimers timers(clock);
    oldHandle = timers.repeating(Seconds(1), [&oldTicks, token] { ++oldTicks; });
  }
  // The tick went with the timers; the handle does not keep it.
  EXPECT_EQ(token.use_count(), 1);

  // Timers made since, maybe where the old ones were, are left alone by the old handle.
  FakeMainLoopTimers timers(clock);
  int newTicks = 0;
  const auto newHandle = timers.repeating(Seconds(1), [&newTicks] { ++newTicks; });
  oldHandle.reset();
  EXPECT_EQ(timers.repeatingCount(), 1);
  timers.advance(Seconds(2));
  EXPECT_EQ(newTicks, 2);
  EXPECT_EQ(oldTicks, 0);
}

}  // namespace
}  // namespace deskplay::platform::testing
