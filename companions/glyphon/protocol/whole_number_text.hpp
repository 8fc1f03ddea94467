#pragma once

#include <string>

namespace deskplay::glyphon {

// `value` rounded to a whole number, halves away from zero, never minus zero.
double roundedCoordinate(double value);

// A finite whole number as decimal digits, without exponent or fraction; "-0" never appears.
std::string wholeNumberText(double whole);

// `value` rounded to the nearest whole number, halves away from zero, as decimal text.
std::string roundedIntegerText(double value);

// `value` truncated toward zero, as decimal text.
std::string truncatedIntegerText(double value);

}  // namespace deskplay::glyphon
