#include "common/url_path.hpp"

#include <string_view>

#include "common/utf8.hpp"

namespace deskplay {

namespace {

bool isAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The characters a URI may hold as they are (RFC 3986: unreserved and reserved ones).
bool isUrlCharacter(char c) {
  if (isAlpha(c) || isDigit(c)) return true;
  return std::string_view("-._~:/?#[]@!$&'()*+,;=").find(c) != std::string_view::npos;
}

bool isWellFormed(std::string_view text) {
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char c = text[index];
    if (c == '%') {
      if (index + 2 >= text.size()) return false;
      if (hexValue(text[index + 1]) < 0 || hexValue(text[index + 2]) < 0) return false;
      index += 2;
    } else if (!isUrlCharacter(c)) {
      return false;
    }
  }
  return true;
}

// The length of the scheme and its colon at the start, or 0 when there is none.
std::size_t schemeLength(std::string_view text) {
  if (text.empty() || !isAlpha(text[0])) return 0;
  for (std::size_t index = 1; index < text.size(); ++index) {
    const char c = text[index];
    if (c == ':') return index + 1;
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

std::string percentDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (text[index] == '%') {
      decoded.push_back(
          static_cast<char>(hexValue(text[index + 1]) * 16 + hexValue(text[index + 2])));
      index += 2;
    } else {
      decoded.push_back(text[index]);
    }
  }
  return decoded;
}

}  // namespace

std::optional<std::string> urlPath(std::string_view text) {
  if (text.empty() || !isWellFormed(text)) return std::nullopt;
  std::string_view rest = text.substr(schemeLength(text));
  if (rest.starts_with("//")) {
    const std::size_t authorityEnd = rest.find_first_of("/?#", 2);
    rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
  }
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::string path = percentDecoded(rest);
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.find('\0') != std::string::npos || !isValidUtf8(path)) return std::nullopt;
  return path;
}

}  // namespace deskplay
