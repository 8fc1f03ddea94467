#include "protocol/whole_number_text.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace deskplay::glyphon {

namespace {

// Beyond 2^53 a double no longer holds every whole number, and far beyond it no 64-bit
// integer can hold the value: such numbers are printed from the double itself.
constexpr double kLargestExactWhole = 9007199254740992.0;

}  // namespace

double roundedCoordinate(double value) {
  return std::round(value) + 0.0;
}

std::string wholeNumberText(double whole) {
  if (std::fabs(whole) <= kLargestExactWhole) {
    return std::to_string(static_cast<std::int64_t>(whole));
  }
  char text[400];
  std::snprintf(text, sizeof text, "%.0f", whole);
  return text;
}

std::string roundedIntegerText(double value) {
  return wholeNumberText(roundedCoordinate(value));
}

std::string truncatedIntegerText(double value) {
  return wholeNumberText(std::trunc(value));
}

}  // namespace deskplay::glyphon
