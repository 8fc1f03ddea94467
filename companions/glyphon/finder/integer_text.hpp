#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace deskplay::glyphon {

// Decimal digits with an optional leading "+" or "-" and nothing else; nothing when the
// text is anything more, or out of the 64-bit range.
std::optional<std::int64_t> parseDecimalInteger(std::string_view text);

// A number as PlistBuddy prints a real or an integer, truncated toward zero; nothing when it
// is no number, not finite, or outside the 64-bit range.
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

}  // namespace deskplay::glyphon
