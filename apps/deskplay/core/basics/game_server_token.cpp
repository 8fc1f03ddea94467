#include "core/basics/game_server_token.hpp"

#include <QByteArray>
#include <QFile>
#include <QString>

#include "common/trim.hpp"
#include "common/utf8.hpp"

namespace deskplay::core {

std::optional<std::string> readGameServerToken(const std::filesystem::path& file) {
  QFile stream(QString::fromStdString(file.string()));
  if (!stream.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = stream.readAll();
  if (stream.error() != QFileDevice::NoError) return std::nullopt;
  const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
  if (!isValidUtf8(text)) return std::nullopt;
  const std::string_view token = trimmedWhitespaceAndNewlines(text);
  if (token.empty()) return std::nullopt;
  return std::string(token);
}

}  // namespace deskplay::core
