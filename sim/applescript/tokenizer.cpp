#include "tokenizer.hpp"

#include <charconv>
#include <cmath>

namespace deskplay::applescript {
namespace {

constexpr std::string_view notEqualSign = "\xE2\x89\xA0";
constexpr std::string_view lessOrEqualSign = "\xE2\x89\xA4";
constexpr std::string_view greaterOrEqualSign = "\xE2\x89\xA5";
constexpr std::string_view continuationSign = "\xC2\xAC";

bool isWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
  return isWordStart(c) || isDigit(c);
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

ScriptFailure expectedButFound(std::string_view expected, std::string_view found, std::size_t start,
                               std::size_t end) {
  ScriptFailure failure{
      errors::expectedButFound,
      "Expected " + std::string(expected) + " but found " + std::string(found) + ".", std::nullopt};
  failure.rangeStart = start;
  failure.rangeEnd = end;
  return failure;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view source) : source_(source) {}

  Result<std::vector<Token>, ScriptFailure> run() {
    std::vector<Token> tokens;
    tokens.reserve(source_.size() / 4 + 2);
    while (true) {
      if (auto skipped = skipSpaceAndComments(); !skipped.ok()) return std::move(skipped).error();
      if (at_ >= source_.size()) break;
      auto token = next();
      if (!token.ok()) return std::move(token).error();
      tokens.push_back(std::move(token).value());
    }
    Token end;
    end.start = end.end = source_.size();
    tokens.push_back(std::move(end));
    return tokens;
  }

 private:
  bool startsWith(std::string_view text) const { return source_.substr(at_).starts_with(text); }

  Result<bool, ScriptFailure> skipSpaceAndComments() {
    while (at_ < source_.size()) {
      const char c = source_[at_];
      if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
        ++at_;
      } else if (startsWith(continuationSign)) {
        at_ += continuationSign.size();
        while (at_ < source_.size() && (source_[at_] == ' ' || source_[at_] == '\t')) ++at_;
        if (startsWith("\r\n")) {
          at_ += 2;
        } else if (at_ < source_.size() && (source_[at_] == '\n' || source_[at_] == '\r')) {
          ++at_;
        }
      } else if (startsWith("--") || c == '#') {
        while (at_ < source_.size() && source_[at_] != '\n' && source_[at_] != '\r') ++at_;
      } else if (startsWith("(*")) {
        const std::size_t start = at_;
        int depth = 0;
        while (at_ < source_.size()) {
          if (startsWith("(*")) {
            ++depth;
            at_ += 2;
          } else if (startsWith("*)")) {
            at_ += 2;
            if (--depth == 0) break;
          } else {
            ++at_;
          }
        }
        if (depth != 0) {
          return expectedButFound("\xE2\x80\x9C*)\xE2\x80\x9D", "end of script", start,
                                  source_.size());
        }
      } else {
        break;
      }
    }
    return true;
  }

  Result<Token, ScriptFailure> next() {
    Token token;
    token.start = at_;
    const char c = source_[at_];
    if (c == '\n' || c == '\r') {
      at_ += startsWith("\r\n") ? 2U : 1U;
      token.kind = Token::Kind::endOfLine;
    } else if (c == '"') {
      if (auto text = stringLiteral(); text.ok()) {
        token.kind = Token::Kind::string;
        token.text = std::move(text).value();
      } else {
        return std::move(text).error();
      }
    } else if (isDigit(c) || (c == '.' && at_ + 1 < source_.size() && isDigit(source_[at_ + 1]))) {
      number(token);
    } else if (isWordStart(c)) {
      token.kind = Token::Kind::word;
      const std::size_t start = at_;
      while (at_ < source_.size() && isWordChar(source_[at_])) ++at_;
      token.text.assign(source_.substr(start, at_ - start));
      for (char& letter : token.text) letter = lower(letter);
    } else if (c == '\'' && at_ + 1 < source_.size() && lower(source_[at_ + 1]) == 's' &&
               (at_ + 2 >= source_.size() || !isWordChar(source_[at_ + 2]))) {
      at_ += 2;
      token.kind = Token::Kind::possessive;
    } else if (auto symbol = symbolAt(); !symbol.empty()) {
      at_ += symbol.size();
      token.kind = Token::Kind::symbol;
      token.text = symbol;
    } else {
      token.kind = Token::Kind::unknown;
      at_ += characterLength(c);
    }
    token.end = at_;
    return token;
  }

  std::string_view symbolAt() const {
    for (const std::string_view symbol : {notEqualSign, lessOrEqualSign, greaterOrEqualSign}) {
      if (startsWith(symbol)) return symbol;
    }
    static constexpr std::string_view single = "(){},&=<>+-*/:";
    if (single.find(source_[at_]) != std::string_view::npos) return source_.substr(at_, 1);
    return {};
  }

  static std::size_t characterLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0) return 4;
    if (byte >= 0xE0) return 3;
    if (byte >= 0xC0) return 2;
    return 1;
  }

  Result<std::string, ScriptFailure> stringLiteral() {
    const std::size_t start = at_++;
    std::string text;
    while (at_ < source_.size()) {
      const char c = source_[at_];
      if (c == '"') {
        ++at_;
        return text;
      }
      if (c != '\\') {
        const std::size_t end = source_.find_first_of("\"\\", at_);
        const std::size_t stop = end == std::string_view::npos ? source_.size() : end;
        text.append(source_.substr(at_, stop - at_));
        at_ = stop;
        continue;
      }
      if (at_ + 1 >= source_.size()) break;
      switch (source_[at_ + 1]) {
        case '"':
          text += '"';
          break;
        case '\\':
          text += '\\';
          break;
        case 'n':
          text += '\n';
          break;
        case 't':
          text += '\t';
          break;
        case 'r':
          text += '\r';
          break;
        default:
          return expectedButFound("\xE2\x80\x9C\"\xE2\x80\x9D", "unknown token", at_, at_ + 2);
      }
      at_ += 2;
    }
    return expectedButFound("\xE2\x80\x9C\"\xE2\x80\x9D", "end of script", start, source_.size());
  }

  void number(Token& token) {
    const std::size_t start = at_;
    bool fractional = false;
    while (at_ < source_.size() && isDigit(source_[at_])) ++at_;
    if (at_ + 1 < source_.size() && source_[at_] == '.' && isDigit(source_[at_ + 1])) {
      fractional = true;
      ++at_;
      while (at_ < source_.size() && isDigit(source_[at_])) ++at_;
    }
    if (at_ < source_.size() && lower(source_[at_]) == 'e') {
      std::size_t exponent = at_ + 1;
      if (exponent < source_.size() && (source_[exponent] == '+' || source_[exponent] == '-')) {
        ++exponent;
      }
      if (exponent < source_.size() && isDigit(source_[exponent])) {
        fractional = true;
        at_ = exponent;
        while (at_ < source_.size() && isDigit(source_[at_])) ++at_;
      }
    }
    const std::string_view digits = source_.substr(start, at_ - start);
    if (!fractional) {
      std::int64_t integer = 0;
      const auto [end, error] =
          std::from_chars(digits.data(), digits.data() + digits.size(), integer);
      if (error == std::errc{} && integer <= largestInteger) {
        token.kind = Token::Kind::integer;
        token.integer = integer;
        return;
      }
    }
    // ".5" reads as "0.5".
    const std::string text =
        digits.front() == '.' ? "0" + std::string(digits) : std::string(digits);
    token.kind = Token::Kind::real;
    std::from_chars(text.data(), text.data() + text.size(), token.real);
  }

  std::string_view source_;
  std::size_t at_ = 0;
};

}  // namespace

Result<std::vector<Token>, ScriptFailure> tokenize(std::string_view source) {
  return Tokenizer(source).run();
}

}  // namespace deskplay::applescript
