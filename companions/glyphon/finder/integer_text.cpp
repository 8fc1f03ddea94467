#include "finder/integer_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace deskplay::glyphon {

namespace {

std::string_view withoutPlus(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<std::int64_t> parseDecimalInteger(std::string_view text) {
  const bool plus = text.starts_with('+');
  const std::string_view body = plus ? text.substr(1) : text;
  const std::string_view digits = !plus && body.starts_with('-') ? body.substr(1) : body;
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), number);
  if (error != std::errc() || end != body.data() + body.size()) return std::nullopt;
  return number;
}

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
  const std::string_view number = withoutPlus(text);
  if (number.empty() || (number.size() < text.size() && number.front() == '-')) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  // 2^63 is the first double past the range; every double below it truncates into it.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(value) || value < -kLimit || value >= kLimit) return std::nullopt;
  return static_cast<std::int64_t>(value);
}

}  // namespace deskplay::glyphon
