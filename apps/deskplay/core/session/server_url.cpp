#include "core/session/server_url.hpp"

namespace deskplay::core {

namespace {

// Only spaces and tabs: a line break inside the stored text is kept and makes it invalid.
std::string_view trimmedBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string resolvedServerURL(platform::Preferences& preferences) {
  std::string_view stored;
  const auto value = preferences.value(kServerUrlKey);
  if (value) {
    if (const auto* text = value->get<std::string>()) stored = *text;
  }
  const std::string_view trimmed = trimmedBlanks(trimmedBlanks(stored));
  if (trimmed.starts_with("ws://") || trimmed.starts_with("wss://")) return std::string(trimmed);
  return std::string(kDefaultServerUrl);
}

}  // namespace deskplay::core
