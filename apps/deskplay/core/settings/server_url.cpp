#include "core/settings/server_url.hpp"

namespace deskplay::core {

std::string_view trimmedSpacesAndTabs(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool hasWebSocketScheme(std::string_view url) {
  return url.starts_with("ws://") || url.starts_with("wss://");
}

std::string resolvedServerURL(platform::Preferences& preferences) {
  std::string_view stored;
  const auto value = preferences.value(kServerUrlKey);
  if (value) {
    if (const auto* text = value->get<std::string>()) stored = *text;
  }
  const std::string_view trimmed = trimmedSpacesAndTabs(stored);
  if (hasWebSocketScheme(trimmed)) return std::string(trimmed);
  return std::string(kDefaultServerUrl);
}

}  // namespace deskplay::core
