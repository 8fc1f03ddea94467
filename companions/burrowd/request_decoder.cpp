// A strict JSON reader for exactly the request shape. General-purpose parsers go through a
// line byte by byte and keep copies of every token; a "write" request carries up to 16 MiB
// of journal text, which this reader copies in runs straight from the input buffer.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "common/json_scan.hpp"
#include "common/utf8.hpp"
#include "request.hpp"
#include "stash_journal.hpp"

namespace deskplay::burrowd {

namespace {

constexpr std::size_t kLargeString = 1 << 20;

bool isWhitespace(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

int hexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendUtf8(std::string& out, std::uint32_t scalar) {
  if (scalar < 0x80) {
    out += static_cast<char>(scalar);
  } else if (scalar < 0x800) {
    out += static_cast<char>(0xC0 | (scalar >> 6));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  } else if (scalar < 0x10000) {
    out += static_cast<char>(0xE0 | (scalar >> 12));
    out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (scalar >> 18));
    out += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  }
}

// What a value is, from its first byte, for messages about wrong types.
const char* kindOf(int c) {
  switch (c) {
    case '{':
      return "an object";
    case '[':
      return "an array";
    case '"':
      return "a string";
    case 't':
    case 'f':
      return "a boolean";
    case 'n':
      return "null";
    default:
      return "a number";
  }
}

// Follows the digits of one number as they are skipped, to tell whether a double holds it:
// a decoder that reads the whole document first fails on a number it cannot hold, wherever
// it stands, so this one does too. Only the leading digits are kept, since a number may run
// for megabytes.
class NumberRange {
 public:
  void integerDigit(char digit) {
    if (!significant_.empty() || digit != '0') {
      keep(digit);
      ++integerDigits_;
    }
  }
  void fractionDigit(char digit) {
    if (significant_.empty() && digit == '0') {
      ++leadingFractionZeros_;
    } else {
      keep(digit);
    }
  }
  void exponentSign(char sign) { exponentNegative_ = sign == '-'; }
  void exponentDigit(char digit) {
    // Far past any double's exponent: more digits change nothing.
    if (exponent_ < kExponentCap) exponent_ = exponent_ * 10 + (digit - '0');
  }

  // Whether the number's magnitude rounds to more than the largest double.
  bool overflows() const {
    if (significant_.empty()) return false;
    const std::int64_t exponent = exponentNegative_ ? -exponent_ : exponent_;
    // The power of ten of the first significant digit.
    const std::int64_t magnitude =
        (integerDigits_ > 0 ? integerDigits_ - 1 : -(leadingFractionZeros_ + 1)) + exponent;
    if (magnitude != kLargestMagnitude) return magnitude > kLargestMagnitude;
    // A dropped digit that is not zero only matters as "a little more": one more digit says so.
    std::string text = significant_;
    if (droppedNonZero_) text += '1';
    const auto digits = static_cast<std::int64_t>(text.size());
    text += "e" + std::to_string(kLargestMagnitude - (digits - 1));
    double value;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec ==
           std::errc::result_out_of_range;
  }

 private:
  // The largest double is about 1.8e308. The point past which numbers round to infinity has
  // 309 digits, so the kept digits and the note of a dropped one decide exactly.
  static constexpr std::int64_t kLargestMagnitude = 308;
  static constexpr std::size_t kKeptDigits = 800;
  static constexpr std::int64_t kExponentCap = 1'000'000'000'000;

  void keep(char digit) {
    if (significant_.size() < kKeptDigits) {
      significant_ += digit;
    } else if (digit != '0') {
      droppedNonZero_ = true;
    }
  }

  std::string significant_;
  bool droppedNonZero_ = false;
  std::int64_t integerDigits_ = 0;
  std::int64_t leadingFractionZeros_ = 0;
  std::int64_t exponent_ = 0;
  bool exponentNegative_ = false;
};

class RequestParser {
 public:
  explicit RequestParser(LineReader& in) : in_(in) {}

  Result<Request> parse();

 private:
  // Syntax: each returns false once the line is known not to be JSON.
  bool syntaxError(std::string_view problem);
  bool syntaxError(std::string_view problem, std::size_t offset);
  void skipWhitespace();
  bool expect(char c, std::string_view what);
  bool parseString(std::string& out);
  bool parseEscape(std::string& out);
  bool parseHexQuad(std::uint32_t& value);
  bool skipLiteral(std::string_view word);
  bool skipNumber();
  bool skipScalar();
  bool skipValue();
  template <class OnMember>
  bool parseObject(OnMember onMember);

  // Shape: a value of the wrong type is noted and skipped, so that a later syntax error
  // still wins, as it would for a parser that reads the whole document first.
  void wrongType(const std::string& key, std::string_view expected, int found);
  bool parseRequestMember(const std::string& key);
  // An optional key: null counts as absent, a value that does not open with `opening` has
  // the wrong type, and anything else is left to `parsePresent`.
  template <class T, class ParsePresent>
  bool parseOptional(const std::string& key, std::optional<T>& into, char opening,
                     std::string_view expected, ParsePresent parsePresent);
  bool parseOptionalString(const std::string& key, std::optional<std::string>& into);
  bool parseEndpoint(const std::string& key, std::optional<Endpoint>& into);
  bool parseEndpointObject(const std::string& key, std::optional<Endpoint>& into);
  bool parseIdentity(std::optional<IdentityMap>& into);

  LineReader& in_;
  std::string syntaxError_;
  std::string shapeError_;
  std::string scratch_;
  Request request_;
  bool hasAction_ = false;
};

bool RequestParser::syntaxError(std::string_view problem) {
  return syntaxError(problem, in_.offset());
}

bool RequestParser::syntaxError(std::string_view problem, std::size_t offset) {
  syntaxError_ = "Request is not valid JSON: " + std::string(problem) + " at byte " +
                 std::to_string(offset + 1);
  return false;
}

void RequestParser::skipWhitespace() {
  while (isWhitespace(in_.peek())) in_.advance();
}

bool RequestParser::expect(char c, std::string_view what) {
  skipWhitespace();
  if (in_.peek() != static_cast<unsigned char>(c)) return syntaxError(what);
  in_.advance();
  return true;
}

bool RequestParser::parseHexQuad(std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = hexValue(in_.peek());
    if (digit < 0) return syntaxError("a \\u escape needs four hexadecimal digits");
    in_.advance();
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return true;
}

bool RequestParser::parseEscape(std::string& out) {
  const int c = in_.peek();
  if (c != 'u') {
    char decoded;
    switch (c) {
      case '"':
        decoded = '"';
        break;
      case '\\':
        decoded = '\\';
        break;
      case '/':
        decoded = '/';
        break;
      case 'b':
        decoded = '\b';
        break;
      case 'f':
        decoded = '\f';
        break;
      case 'n':
        decoded = '\n';
        break;
      case 'r':
        decoded = '\r';
        break;
      case 't':
        decoded = '\t';
        break;
      default:
        return syntaxError("an invalid escape in a string");
    }
    in_.advance();
    out += decoded;
    return true;
  }
  in_.advance();
  std::uint32_t scalar;
  if (!parseHexQuad(scalar)) return false;
  if (scalar >= 0xDC00 && scalar <= 0xDFFF) return syntaxError("a lone low surrogate escape");
  if (scalar >= 0xD800 && scalar <= 0xDBFF) {
    std::uint32_t low;
    if (in_.peek() != '\\') return syntaxError("a high surrogate escape without its low half");
    in_.advance();
    if (in_.peek() != 'u') return syntaxError("a high surrogate escape without its low half");
    in_.advance();
    if (!parseHexQuad(low)) return false;
    if (low < 0xDC00 || low > 0xDFFF) {
      return syntaxError("a high surrogate escape without its low half");
    }
    scalar = 0x10000 + ((scalar - 0xD800) << 10) + (low - 0xDC00);
  }
  appendUtf8(out, scalar);
  return true;
}

bool RequestParser::parseString(std::string& out) {
  out.clear();
  if (!expect('"', "expected a string")) return false;
  for (;;) {
    const std::string_view chunk = in_.buffered();
    if (chunk.empty()) return syntaxError("a string is not closed");
    const std::size_t run = findJsonSpecialByte(chunk, SlashEscaping::Plain);
    // A string this long can only be a journal: room for the largest one at once, instead
    // of doubling and copying the text again at every step. Pages never written cost nothing.
    if (out.size() + run > kLargeString && out.capacity() <= kJournalSizeLimit) {
      out.reserve(kJournalSizeLimit + 1);
    }
    out.append(chunk.substr(0, run));
    in_.consume(run);
    if (run == chunk.size()) continue;
    const char special = chunk[run];
    if (special == '"') {
      in_.advance();
      break;
    }
    if (special != '\\') return syntaxError("a control character in a string");
    in_.advance();
    if (!parseEscape(out)) return false;
  }
  // Escapes always decode to whole characters, so checking the decoded text checks the
  // raw bytes too.
  if (!isValidUtf8(out)) return syntaxError("a string that is not valid UTF-8");
  return true;
}

bool RequestParser::skipLiteral(std::string_view word) {
  for (const char c : word) {
    if (in_.peek() != static_cast<unsigned char>(c)) return syntaxError("an invalid literal");
    in_.advance();
  }
  return true;
}

bool RequestParser::skipNumber() {
  const std::size_t start = in_.offset();
  NumberRange range;
  if (in_.peek() == '-') in_.advance();
  if (in_.peek() == '0') {
    in_.advance();
  } else if (isDigit(in_.peek())) {
    for (; isDigit(in_.peek()); in_.advance()) range.integerDigit(static_cast<char>(in_.peek()));
  } else {
    return syntaxError("an invalid value");
  }
  if (in_.peek() == '.') {
    in_.advance();
    if (!isDigit(in_.peek())) return syntaxError("a number without digits after its point");
    for (; isDigit(in_.peek()); in_.advance()) range.fractionDigit(static_cast<char>(in_.peek()));
  }
  if (in_.peek() == 'e' || in_.peek() == 'E') {
    in_.advance();
    if (in_.peek() == '+' || in_.peek() == '-') {
      range.exponentSign(static_cast<char>(in_.peek()));
      in_.advance();
    }
    if (!isDigit(in_.peek())) return syntaxError("a number without digits in its exponent");
    for (; isDigit(in_.peek()); in_.advance()) range.exponentDigit(static_cast<char>(in_.peek()));
  }
  if (range.overflows()) return syntaxError("a number out of range", start);
  return true;
}

bool RequestParser::skipScalar() {
  switch (in_.peek()) {
    case '"':
      return parseString(scratch_);
    case 't':
      return skipLiteral("true");
    case 'f':
      return skipLiteral("false");
    case 'n':
      return skipLiteral("null");
    case LineReader::kLineEnd:
      return syntaxError("the line ends where a value should be");
    default:
      return skipNumber();
  }
}

// Skips any value, however deeply nested, without recursion.
bool RequestParser::skipValue() {
  std::vector<char> open;
  for (;;) {
    skipWhitespace();
    const int c = in_.peek();
    if (c == '{' || c == '[') {
      in_.advance();
      skipWhitespace();
      const char closing = c == '{' ? '}' : ']';
      if (in_.peek() == closing) {
        in_.advance();
      } else {
        open.push_back(closing);
        if (closing == '}' && !(parseString(scratch_) && expect(':', "expected ':'"))) {
          return false;
        }
        continue;
      }
    } else if (!skipScalar()) {
      return false;
    }
    // After a value: close what ends here, or go on to the next element.
    for (;;) {
      if (open.empty()) return true;
      skipWhitespace();
      const int next = in_.peek();
      if (next == open.back()) {
        in_.advance();
        open.pop_back();
        continue;
      }
      if (next != ',')
        return syntaxError(open.back() == '}' ? "expected ',' or '}'" : "expected ',' or ']'");
      in_.advance();
      if (open.back() == '}' && !(parseString(scratch_) && expect(':', "expected ':'"))) {
        return false;
      }
      break;
    }
  }
}

template <class OnMember>
bool RequestParser::parseObject(OnMember onMember) {
  if (!expect('{', "expected an object")) return false;
  skipWhitespace();
  if (in_.peek() == '}') {
    in_.advance();
    return true;
  }
  std::string key;
  for (;;) {
    if (!parseString(key) || !expect(':', "expected ':'")) return false;
    skipWhitespace();
    if (!onMember(key)) return false;
    skipWhitespace();
    const int next = in_.peek();
    if (next != '}' && next != ',') return syntaxError("expected ',' or '}'");
    in_.advance();
    if (next == '}') return true;
  }
}

void RequestParser::wrongType(const std::string& key, std::string_view expected, int found) {
  if (!shapeError_.empty()) return;
  shapeError_ = "Request key \"" + key + "\" has the wrong type: expected " +
                std::string(expected) + ", found " + kindOf(found);
}

template <class T, class ParsePresent>
bool RequestParser::parseOptional(const std::string& key, std::optional<T>& into, char opening,
                                  std::string_view expected, ParsePresent parsePresent) {
  const int c = in_.peek();
  if (c == 'n') {
    into.reset();
    return skipLiteral("null");
  }
  if (c != static_cast<unsigned char>(opening)) {
    wrongType(key, expected, c);
    return skipValue();
  }
  return parsePresent();
}

bool RequestParser::parseOptionalString(const std::string& key, std::optional<std::string>& into) {
  return parseOptional(key, into, '"', "a string", [&] {
    std::string value;
    if (!parseString(value)) return false;
    into = std::move(value);
    return true;
  });
}

bool RequestParser::parseEndpoint(const std::string& key, std::optional<Endpoint>& into) {
  return parseOptional(key, into, '{', "an object with \"side\" and \"name\"",
                       [&] { return parseEndpointObject(key, into); });
}

bool RequestParser::parseEndpointObject(const std::string& key, std::optional<Endpoint>& into) {
  std::optional<std::string> side;
  std::optional<std::string> name;
  const bool parsed = parseObject([&](const std::string& member) {
    if (member != "side" && member != "name") return skipValue();
    std::optional<std::string>& field = member == "side" ? side : name;
    if (in_.peek() != '"') {
      wrongType(key + "." + member, "a string", in_.peek());
      return skipValue();
    }
    field.emplace();
    return parseString(*field);
  });
  if (!parsed) return false;
  if (!side || !name) {
    if (shapeError_.empty()) {
      shapeError_ = "Request key \"" + key + "\" is missing \"" + (side ? "name" : "side") + "\"";
    }
    return true;
  }
  into = Endpoint{std::move(*side), std::move(*name)};
  return true;
}

bool RequestParser::parseIdentity(std::optional<IdentityMap>& into) {
  return parseOptional("identity", into, '{', "an object of strings", [&] {
    IdentityMap identity;
    const bool parsed = parseObject([&](const std::string& member) {
      if (in_.peek() != '"') {
        wrongType("identity." + member, "a string", in_.peek());
        return skipValue();
      }
      return parseString(identity[member]);
    });
    if (!parsed) return false;
    into = std::move(identity);
    return true;
  });
}

bool RequestParser::parseRequestMember(const std::string& key) {
  if (key == "action") {
    const int c = in_.peek();
    if (c != '"') {
      wrongType(key, "a string", c);
      return skipValue();
    }
    hasAction_ = true;
    return parseString(request_.action);
  }
  if (key == "text") return parseOptionalString(key, request_.text);
  if (key == "endpoint") return parseEndpoint(key, request_.endpoint);
  if (key == "from") return parseEndpoint(key, request_.from);
  if (key == "to") return parseEndpoint(key, request_.to);
  if (key == "identity") return parseIdentity(request_.identity);
  return skipValue();
}

Result<Request> RequestParser::parse() {
  skipWhitespace();
  const int first = in_.peek();
  if (first == LineReader::kLineEnd) {
    syntaxError("the line is empty");
  } else if (first != '{') {
    if (skipValue()) {
      skipWhitespace();
      if (in_.peek() == LineReader::kLineEnd) return Error{"Request is not a JSON object"};
      syntaxError("unexpected text after the value");
    }
  } else if (parseObject([this](const std::string& key) { return parseRequestMember(key); })) {
    skipWhitespace();
    if (in_.peek() != LineReader::kLineEnd) syntaxError("unexpected text after the request");
  }
  if (!syntaxError_.empty()) return Error{syntaxError_};
  if (!shapeError_.empty()) return Error{shapeError_};
  if (!hasAction_) return Error{"Request is missing the key \"action\""};
  return std::move(request_);
}

}  // namespace

Result<Request> decodeRequest(LineReader& reader) {
  Result<Request> request = RequestParser(reader).parse();
  reader.finishLine();
  return request;
}

}  // namespace deskplay::burrowd
