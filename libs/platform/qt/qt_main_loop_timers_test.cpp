#include "platform/qt/qt_main_loop_timers.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>

namespace deskplay::platform {
namespace {

using Seconds = Clock::Seconds;

class QtMainLoopTimersTest : public ::testing::Test {
 protected:
  // Runs the event loop until a task due `delay` from now has run: timers fire in the order
  // they fall due, so every one due before it has had its turn by then.
  static bool runLoopPast(Seconds delay) {
    bool ran = false;
    QtMainLoopTimers::shared().after(delay, [&ran] { ran = true; });
    return QTest::qWaitFor([&] { return ran; });
  }

  int argc = 1;
  char name[16] = "platform_qt";
  char* argv[2] = {name, nullptr};
  QCoreApplication application{argc, argv};
};

TEST_F(QtMainLoopTimersTest, TicksUntilTheHandleGoesFromItsOwnTick) {
  int ticks = 0;
  std::unique_ptr<TimerHandle> handle;
  handle = QtMainLoopTimers::shared().repeating(Seconds(0.001), [&] {
    if (++ticks == 3) handle.reset();
  });

  EXPECT_TRUE(QTest::qWaitFor([&] { return handle == nullptr; }));
  // Long enough for several more ticks of a timer left running.
  ASSERT_TRUE(runLoopPast(Seconds(0.01)));
  EXPECT_EQ(ticks, 3);
}

TEST_F(QtMainLoopTimersTest, RunsADelayedTaskOnce) {
  int runs = 0;
  QtMainLoopTimers::shared().after(Seconds(0.001), [&] { ++runs; });

  EXPECT_TRUE(QTest::qWaitFor([&] { return runs > 0; }));
  ASSERT_TRUE(runLoopPast(Seconds(0.01)));
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace deskplay::platform
