#include "core/settings/server_config.hpp"

#include <string>

#include "core/settings/server_url.hpp"

namespace deskplay::core {

namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ServerConfig::ServerConfig(platform::Preferences& preferences, QObject* parent)
    : QObject(parent), preferences_(preferences), urlString_(fromUtf8(kDefaultServerUrl)) {
  if (const auto stored = preferences_.value(kServerUrlKey)) {
    if (const auto* text = stored->get<std::string>()) urlString_ = fromUtf8(*text);
  }
}

void ServerConfig::setUrlString(const QString& urlString) {
  if (urlString == urlString_) return;
  urlString_ = urlString;
  emit urlStringChanged();
}

std::string ServerConfig::trimmed() const {
  const std::string text = urlString_.toStdString();
  return std::string(trimmedSpacesAndTabs(text));
}

bool ServerConfig::isDefault() const {
  return trimmed() == kDefaultServerUrl;
}

bool ServerConfig::isValid() const {
  return hasWebSocketScheme(trimmed());
}

void ServerConfig::commit() {
  const std::string value = trimmed();
  if (value.empty() || value == kDefaultServerUrl) {
    reset();
    return;
  }
  static_cast<void>(preferences_.setValue(kServerUrlKey, value));
  setUrlString(fromUtf8(value));
}

void ServerConfig::reset() {
  static_cast<void>(preferences_.removeValue(kServerUrlKey));
  setUrlString(fromUtf8(kDefaultServerUrl));
}

}  // namespace deskplay::core
