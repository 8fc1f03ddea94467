#include "core/settings/http_base_url.hpp"

#include <QString>

#include "core/settings/server_url.hpp"

namespace deskplay::core {

Result<QUrl> httpBaseURL(std::string_view serverUrl) {
  QString text = QString::fromUtf8(serverUrl.data(), static_cast<qsizetype>(serverUrl.size()));
  text.replace(QStringLiteral("wss://"), QStringLiteral("https://"));
  text.replace(QStringLiteral("ws://"), QStringLiteral("http://"));
  QUrl url(text, QUrl::StrictMode);
  // A request to a URL without a host could only fail later, with a less helpful message.
  if (!url.isValid() || url.host().isEmpty()) return Error{kInvalidServerAddressMessage};
  url.setPath(QString());
  if (!url.isValid()) return Error{kInvalidServerAddressMessage};
  return url;
}

Result<QUrl> httpBaseURL(platform::Preferences& preferences) {
  return httpBaseURL(resolvedServerURL(preferences));
}

QUrl endpointURL(const QUrl& base, std::string_view endpoint) {
  QUrl url = base;
  url.setPath(QStringLiteral("/") +
              QString::fromUtf8(endpoint.data(), static_cast<qsizetype>(endpoint.size())));
  return url;
}

}  // namespace deskplay::core
