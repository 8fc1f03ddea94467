#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script_failure.hpp"

namespace deskplay::applescript {

struct Token {
  enum class Kind {
    word,        // text holds it in lower case
    string,      // text holds the literal's characters, escapes resolved
    integer,     // integer holds it
    real,        // real holds it
    symbol,      // text holds the symbol: ( ) { } , & = ≠ < > ≤ ≥ + - * / :
    possessive,  // 's
    endOfLine,
    endOfScript,
    unknown,  // a character outside the language
  };
  Kind kind = Kind::endOfScript;
  std::string text;
  std::int64_t integer = 0;
  double real = 0;
  std::size_t start = 0;
  std::size_t end = 0;
};

// AppleScript's integers are 30-bit; larger literals are reals.
inline constexpr std::int64_t largestInteger = 536870911;

// Splits a script into tokens. Comments (--, #, (* *)) and line continuations (¬ before a
// line break) vanish; line breaks (LF, CR, CRLF) become endOfLine tokens. An unterminated
// string or comment, or an unknown escape, fails as the compiler reports it.
Result<std::vector<Token>, ScriptFailure> tokenize(std::string_view source);

}  // namespace deskplay::applescript
