#include "ui/menubar/window_fade.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::ui {
namespace {

using platform::Clock;

TEST(EaseInEaseOut, StartsAndEndsSlowlyAndIsSymmetric) {
  EXPECT_DOUBLE_EQ(easeInEaseOut(0), 0);
  EXPECT_NEAR(easeInEaseOut(1), 1, 1e-9);
  EXPECT_NEAR(easeInEaseOut(0.5), 0.5, 1e-9);
  EXPECT_NEAR(easeInEaseOut(0.25) + easeInEaseOut(0.75), 1, 1e-9);
  EXPECT_LT(easeInEaseOut(0.1), 0.1);
  EXPECT_GT(easeInEaseOut(0.9), 0.9);
  double last = 0;
  for (int i = 1; i <= 100; ++i) {
    const double now = easeInEaseOut(i / 100.0);
    EXPECT_GE(now, last);
    last = now;
  }
}

struct FadeFixture : ::testing::Test {
  platform::testing::FakeClock clock;
  platform::testing::FakeMainLoopTimers timers{clock};
  platform::testing::FakeWindows windows;
  std::unique_ptr<platform::ContentWindow> window = windows.createContentWindow({});
  WindowFade fade{timers, clock};
};

TEST_F(FadeFixture, TakesAlphaToZeroOverItsDurationThenCompletes) {
  int completions = 0;
  fade.start(*window, Clock::Seconds(0.3), [&] { ++completions; });
  timers.advance(Clock::Seconds(0.15));
  EXPECT_NEAR(window->alpha(), 0.5, 0.06) << "half way on a symmetric curve";
  EXPECT_EQ(completions, 0);
  timers.advance(Clock::Seconds(0.1));
  EXPECT_GT(window->alpha(), 0);
  timers.advance(Clock::Seconds(0.1));
  EXPECT_EQ(window->alpha(), 0);
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(fade.isRunning());
  EXPECT_EQ(timers.repeatingCount(), 0);
}

TEST_F(FadeFixture, CancelledFadeStopsWhereItStandsWithoutCompleting) {
  int completions = 0;
  fade.start(*window, Clock::Seconds(0.3), [&] { ++completions; });
  timers.advance(Clock::Seconds(0.1));
  const double stood = window->alpha();
  fade.cancel();
  timers.advance(Clock::Seconds(1));
  EXPECT_EQ(window->alpha(), stood);
  EXPECT_EQ(completions, 0);
}

}  // namespace
}  // namespace deskplay::ui
