#include "ui/models/hover_spring.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace deskplay::ui {
namespace {

// Runs Qt Quick's SpringAnimation recurrence from rest at 0 towards 1 and gives the largest
// value reached and when.
struct SpringRun {
  double peak = 0;
  double peakTime = 0;
};

SpringRun runSpring(SpringAnimationParameters parameters) {
  double value = 0;
  double velocity = 0;
  SpringRun run;
  for (int step = 1; step <= 1000; ++step) {
    velocity = velocity + parameters.spring * (1 - value) - parameters.damping * velocity;
    value += velocity * kSpringAnimationStep;
    if (value > run.peak) run = {value, step * kSpringAnimationStep};
  }
  return run;
}

struct SpringCase {
  const char* name;
  double response;
  double fraction;
};

class SpringAnimation : public ::testing::TestWithParam<SpringCase> {};

// A spring below critical damping overshoots by exp(-πζ/√(1-ζ²)) at the time π/ω_d.
TEST_P(SpringAnimation, OvershootsAsTheContinuousSpringDoesWhenItDoes) {
  const auto [name, response, fraction] = GetParam();
  const SpringRun run = runSpring(springAnimationParameters(response, fraction));
  const double angular = 2 * std::numbers::pi / response;
  const double damped = angular * std::sqrt(1 - fraction * fraction);
  // Within two points: the steps only sample the curve, and the first one starts from rest.
  EXPECT_NEAR(run.peak - 1,
              std::exp(-std::numbers::pi * fraction / std::sqrt(1 - fraction * fraction)), 0.02);
  EXPECT_NEAR(run.peakTime, std::numbers::pi / damped, 2 * kSpringAnimationStep);
}

INSTANTIATE_TEST_SUITE_P(
    Springs, SpringAnimation,
    ::testing::Values(SpringCase{"Hover", kHoverResponse, kHoverDampingFraction},
                      SpringCase{"Slow", 0.6, 0.5}, SpringCase{"Stiff", 0.2, 0.3}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SpringAnimationParameters, CriticalDampingNeverOvershoots) {
  const SpringRun run = runSpring(springAnimationParameters(0.3, 1.0));
  EXPECT_LT(run.peak, 1.0005);
  EXPECT_GT(run.peak, 0.999);
}

}  // namespace
}  // namespace deskplay::ui
