#include "geometry/path_text.hpp"

namespace deskplay::glyphon {

namespace {

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::string> percentDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const std::optional<int> high = hexDigit(text[i + 1]);
    const std::optional<int> low = hexDigit(text[i + 2]);
    if (!high || !low) return std::nullopt;
    const char byte = static_cast<char>(*high * 16 + *low);
    if (byte == '\0') return std::nullopt;
    decoded += byte;
    i += 2;
  }
  return decoded;
}

}  // namespace

std::string lastPathComponent(std::string_view path) {
  const std::size_t end = path.find_last_not_of('/');
  if (end == std::string_view::npos) return path.empty() ? "" : "/";
  const std::string_view trimmed = path.substr(0, end + 1);
  const std::size_t slash = trimmed.rfind('/');
  return std::string(slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1));
}

std::optional<std::string> fileUrlPath(std::string_view url) {
  constexpr std::string_view kScheme = "file://";
  if (url.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  std::string_view rest = url.substr(kScheme.size());
  const std::size_t pathStart = rest.find('/');
  if (pathStart == std::string_view::npos) return std::nullopt;
  const std::string_view host = rest.substr(0, pathStart);
  if (!host.empty() && host != "localhost") return std::nullopt;
  std::string_view encoded = rest.substr(pathStart);
  const std::size_t queryOrFragment = encoded.find_first_of("?#");
  if (queryOrFragment != std::string_view::npos) encoded = encoded.substr(0, queryOrFragment);
  std::optional<std::string> path = percentDecoded(encoded);
  if (!path) return std::nullopt;
  while (path->size() > 1 && path->back() == '/') path->pop_back();
  return path;
}

}  // namespace deskplay::glyphon
