#include "covers/ns_color_from_hex.hpp"

#include <cstdint>
#include <optional>

namespace deskplay::glyphon {

namespace {

std::string_view trimmedOfHashesAndSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of("# ");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of("# ") - first + 1);
}

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// An unsigned 32-bit number in hex digits, with an optional sign; "-" only for zero.
std::optional<std::uint32_t> parseUnsignedHex(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    const std::optional<int> digit = hexDigit(c);
    if (!digit) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(*digit);
    if (value > UINT32_MAX) return std::nullopt;
  }
  if (negative && value != 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

platform::Color nsColorFromHex(std::string_view hex) {
  const std::uint32_t value = parseUnsignedHex(trimmedOfHashesAndSpaces(hex)).value_or(0);
  const auto channel = [value](int shift) {
    return static_cast<double>((value >> shift) & 0xFF) / 255.0;
  };
  return {channel(16), channel(8), channel(0), 1.0};
}

}  // namespace deskplay::glyphon
