#include "motion/position_text.hpp"

#include <charconv>
#include <cmath>
#include <vector>

namespace deskplay::glyphon {

namespace {

// The non-empty pieces of `text` between separators.
std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

std::optional<double> finiteNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<MotionPoint> iconPositionInText(std::string_view text, std::string_view name) {
  for (std::string_view line : nonEmptyPieces(text, '\n')) {
    const std::vector<std::string_view> fields = nonEmptyPieces(line, '\t');
    if (fields.size() < 3 || fields[0] != name) continue;
    const std::optional<double> x = finiteNumber(fields[1]);
    const std::optional<double> y = finiteNumber(fields[2]);
    if (x && y) return MotionPoint{*x, *y};
  }
  return std::nullopt;
}

}  // namespace deskplay::glyphon
