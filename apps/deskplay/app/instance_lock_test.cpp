#include "app/instance_lock.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_clock.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::app {
namespace {

using platform::Clock;
using platform::testing::FakeClock;

TEST(InstanceLock, OneHolderAtATime) {
  testing::TempDir dir;
  InstanceLock first;
  InstanceLock second;
  ASSERT_TRUE(first.acquire(dir / "lock").ok());
  const auto taken = second.acquire(dir / "lock");
  ASSERT_TRUE(taken.ok());
  EXPECT_EQ(taken.value(), InstanceLock::Outcome::heldElsewhere);
}

TEST(InstanceLock, WaitForReleaseGivesUpAfterTheTimeout) {
  testing::TempDir dir;
  FakeClock clock;
  InstanceLock holder;
  ASSERT_EQ(holder.acquire(dir / "lock").value(), InstanceLock::Outcome::acquired);

  const Clock::Seconds start = clock.uptime();
  EXPECT_FALSE(InstanceLock::waitForRelease(dir / "lock", Clock::Seconds(1), clock));
  const Clock::Seconds waited = clock.uptime() - start;
  EXPECT_GE(waited.count(), 1.0);
  EXPECT_LE(waited.count(), 1.0 + InstanceLock::kReleasePollInterval.count() * 1.5);
  EXPECT_GE(clock.sleeps().size(), 20u);
}

TEST(InstanceLock, WaitForReleaseReturnsAtOnceWhenNothingWaits) {
  const struct {
    const char* name;
    const char* lockFile;
  } cases[] = {
      {"free lock", "lock"},
      // acquire() reports what is wrong with such a file.
      {"lock file in a missing folder", "missing/lock"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    FakeClock clock;
    EXPECT_TRUE(InstanceLock::waitForRelease(dir / c.lockFile, Clock::Seconds(5), clock));
    EXPECT_TRUE(clock.sleeps().empty());
    // The probe keeps nothing: the real start-up still gets the lock.
    InstanceLock lock;
    const auto taken = lock.acquire(dir / c.lockFile);
    if (taken.ok()) {
      EXPECT_EQ(taken.value(), InstanceLock::Outcome::acquired);
    }
  }
}

}  // namespace
}  // namespace deskplay::app
