#include "ui/models/hover_spring.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace deskplay::ui {
namespace {

// Runs Qt Quick's SpringAnimation recurrence from 1 towards `target`; gives the largest value
// reached and the time after which the value stays within 2 % of the distance.
struct SpringRun {
  double peak;
  double settledAfter;
};

SpringRun runSpring(SpringAnimationParameters parameters, double target) {
  double value = 1;
  double velocity = 0;
  double peak = value;
  double settledAfter = 0;
  const double band = 0.02 * std::abs(target - 1);
  for (int step = 1; step <= 500; ++step) {
    velocity = velocity + parameters.spring * (target - value) - parameters.damping * velocity;
    value += velocity * kSpringAnimationStep;
    peak = std::max(peak, value);
    if (std::abs(value - target) > band) settledAfter = step * kSpringAnimationStep;
  }
  return {peak, settledAfter};
}

TEST(HoverSpring, BehavesLikeASpringOfResponse03AndDamping07) {
  const SpringRun run = runSpring(kHoverSpring, kHoverScale);
  // A damping fraction of 0.7 overshoots by exp(-π ζ / √(1 - ζ²)) ≈ 4.6 %; the Euler steps
  // of the animation add a little.
  const double overshoot = (run.peak - kHoverScale) / (kHoverScale - 1);
  EXPECT_GT(overshoot, 0.03);
  EXPECT_LT(overshoot, 0.10);
  // It settles within 2 % after about 4 / (ζ ω) ≈ 0.27 s.
  EXPECT_GT(run.settledAfter, 0.15);
  EXPECT_LT(run.settledAfter, 0.45);
}

TEST(HoverSpring, StiffnessAndFrictionFollowResponseAndDamping) {
  const SpringAnimationParameters slow = springAnimationParameters(0.6, 0.7);
  const SpringAnimationParameters critical = springAnimationParameters(0.3, 1.0);
  EXPECT_NEAR(kHoverSpring.spring / slow.spring, 4.0, 1e-9);
  EXPECT_NEAR(kHoverSpring.damping / slow.damping, 2.0, 1e-9);
  const SpringRun run = runSpring(critical, kHoverScale);
  EXPECT_LT(run.peak - kHoverScale, 0.002 * (kHoverScale - 1));
}

}  // namespace
}  // namespace deskplay::ui
