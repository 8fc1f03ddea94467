#pragma once

namespace deskplay::ui {

// A spring given as its response (the period of the undamped oscillation, in seconds) and its
// damping fraction (below 1 it overshoots; 1 settles without overshoot), turned into the
// parameters of Qt Quick's SpringAnimation. That animation steps every 16 ms as
//   velocity += spring * (target - value) - damping * velocity;  value += velocity * 0.016
// The parameters are chosen so that each step multiplies the distance and speed exactly as
// 16 ms of the continuous spring does: the step's two eigenvalues are the spring's
// exp((-ζω ± iω√(1 - ζ²)) · 0.016), with ω = 2π / response and ζ the damping fraction.
struct SpringAnimationParameters {
  double spring;
  double damping;
};

inline constexpr double kSpringAnimationStep = 0.016;

SpringAnimationParameters springAnimationParameters(double response, double dampingFraction);

// A game card under the pointer grows to this scale with a spring of response 0.3 s and
// damping fraction 0.7.
inline constexpr double kHoverScale = 1.03;
inline constexpr double kHoverResponse = 0.3;
inline constexpr double kHoverDampingFraction = 0.7;

}  // namespace deskplay::ui
