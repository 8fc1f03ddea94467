#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/json_scan.hpp"
#include "common/result.hpp"

namespace deskplay {

enum class KeyOrder { AsGiven, Sorted };

// How a JSON line is spelled. Without added whitespace in any case; non-ASCII text is
// written as UTF-8, control characters as escapes.
struct JsonStyle {
  KeyOrder keys = KeyOrder::AsGiven;
  SlashEscaping slashes = SlashEscaping::Plain;
};

// Appends the JSON text of `value`. A string that is not valid UTF-8 cannot be written:
// that is an error, and `out` may then hold a partial text.
Status appendJson(std::string& out, const nlohmann::ordered_json& value, JsonStyle style);

// Appends the inside of a JSON string literal for `text`, which the caller knows to be
// valid UTF-8: everything but the quotes.
void appendEscapedJsonText(std::string& out, std::string_view text, SlashEscaping slashes);

// A floating-point number as the platform's JSON writer spells it: a whole number without a
// fraction ("12", not "12.0"), any other as the shortest text that reads back the same.
nlohmann::ordered_json jsonNumber(double value);

// The JSON text of `value` followed by one line feed.
Result<std::string> jsonLine(const nlohmann::ordered_json& value, JsonStyle style);

}  // namespace deskplay
