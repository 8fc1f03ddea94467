#pragma once

namespace deskplay::ui {

// A spring given as its response (the period of the undamped oscillation, in seconds) and its
// damping fraction (1 settles without overshoot), turned into the parameters of Qt Quick's
// SpringAnimation. That animation steps every 16 ms as
//   velocity += spring * (target - value) - damping * velocity;  value += velocity * 0.016
// which is Euler's step of  value'' = k (target - value) - c value'  with spring = k * 0.016 and
// damping = c * 0.016, where for a unit mass k = (2π / response)² and c = 4π · fraction / response.
struct SpringAnimationParameters {
  double spring;
  double damping;
};

inline constexpr double kSpringAnimationStep = 0.016;

constexpr SpringAnimationParameters springAnimationParameters(double response,
                                                              double dampingFraction) {
  constexpr double pi = 3.14159265358979323846;
  const double angular = 2 * pi / response;
  return {angular * angular * kSpringAnimationStep,
          2 * dampingFraction * angular * kSpringAnimationStep};
}

// A game card under the pointer grows to this scale with this spring.
inline constexpr double kHoverScale = 1.03;
inline constexpr SpringAnimationParameters kHoverSpring = springAnimationParameters(0.3, 0.7);

}  // namespace deskplay::ui
