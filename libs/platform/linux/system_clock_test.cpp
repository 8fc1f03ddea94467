#include "platform/linux/system_clock.hpp"

#include <gtest/gtest.h>

namespace deskplay::platform {
namespace {

TEST(SystemClock, SleepMovesUptimeForwardAndTheDateIsNow) {
  SystemClock clock;
  const Clock::Seconds before = clock.uptime();
  clock.sleepFor(Clock::Seconds(0.02));
  EXPECT_GE((clock.uptime() - before).count(), 0.02);
  // 2026-01-01 lies in the past of anything that runs this.
  EXPECT_GT(clock.sinceEpoch().count(), 1767225600.0);
}

}  // namespace
}  // namespace deskplay::platform
