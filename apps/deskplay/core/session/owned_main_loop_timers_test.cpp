#include "core/session/owned_main_loop_timers.hpp"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <memory>

#include "platform/qt/qt_main_loop_timers.hpp"

namespace deskplay::core {
namespace {

// Counts how often its copies ran and whether the last copy was destroyed.
struct Probe {
  std::shared_ptr<int> runs = std::make_shared<int>(0);
};

// Runs the event loop until a task due `delay` from now has run: timers fire in the order
// they fall due, so every one due before it has fired by then.
void runLoopPast(platform::Clock::Seconds delay) {
  QEventLoop loop;
  platform::QtMainLoopTimers::shared().after(delay, [&loop] { loop.quit(); });
  loop.exec();
}

TEST(OwnedMainLoopTimers, RunsDelayedTasksWhileAlive) {
  OwnedMainLoopTimers timers;
  Probe probe;
  timers.after(platform::Clock::Seconds(0.001), [runs = probe.runs] { ++*runs; });
  runLoopPast(platform::Clock::Seconds(0.01));
  EXPECT_EQ(*probe.runs, 1);
}

TEST(OwnedMainLoopTimers, DropsPendingTasksWhenItGoes) {
  Probe probe;
  {
    OwnedMainLoopTimers timers;
    timers.after(platform::Clock::Seconds(0.02), [runs = probe.runs] { ++*runs; });
  }
  // The task, and what it held, went with the timers.
  EXPECT_EQ(probe.runs.use_count(), 1);
  runLoopPast(platform::Clock::Seconds(0.05));
  EXPECT_EQ(*probe.runs, 0);
}

}  // namespace
}  // namespace deskplay::core
