#include "core/session/owned_main_loop_timers.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

namespace deskplay::core {
namespace {

// Counts how often its copies ran and whether the last copy was destroyed.
struct Probe {
  std::shared_ptr<int> runs = std::make_shared<int>(0);
};

void spin(int milliseconds) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (elapsed.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(OwnedMainLoopTimers, RunsDelayedTasksWhileAlive) {
  OwnedMainLoopTimers timers;
  Probe probe;
  timers.after(platform::Clock::Seconds(0.001), [runs = probe.runs] { ++*runs; });
  spin(100);
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
  spin(100);
  EXPECT_EQ(*probe.runs, 0);
}

}  // namespace
}  // namespace deskplay::core
