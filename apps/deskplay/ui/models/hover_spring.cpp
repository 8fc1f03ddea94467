#include "ui/models/hover_spring.hpp"

#include <cmath>
#include <numbers>

namespace deskplay::ui {

SpringAnimationParameters springAnimationParameters(double response, double dampingFraction) {
  const double angular = 2 * std::numbers::pi / response;
  const double h = kSpringAnimationStep;
  // The step's matrix has determinant 1 - damping and trace 2 - spring * h - damping; they
  // must equal the product and the sum of the spring's eigenvalues over one step.
  const double decay = std::exp(-dampingFraction * angular * h);
  const double damping = 1 - decay * decay;
  const double dampedAngle =
      dampingFraction < 1 ? angular * std::sqrt(1 - dampingFraction * dampingFraction) * h : 0;
  const double sum =
      dampingFraction < 1
          ? 2 * decay * std::cos(dampedAngle)
          : 2 * std::cosh(angular * std::sqrt(dampingFraction * dampingFraction - 1) * h) * decay;
  return {(2 - damping - sum) / h, damping};
}

}  // namespace deskplay::ui
