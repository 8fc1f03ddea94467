#include "core/basics/game_server_token.hpp"

#include "common/small_file.hpp"
#include "common/trim.hpp"
#include "common/utf8.hpp"

namespace deskplay::core {

std::optional<std::string> readGameServerToken(const std::filesystem::path& file) {
  const auto bytes = readSmallFile(file, kRecordFileLimit, FinalLink::follow);
  if (!bytes.ok() || !bytes.value()) return std::nullopt;
  const std::string_view text = *bytes.value();
  if (!isValidUtf8(text)) return std::nullopt;
  const std::string_view token = trimmedWhitespaceAndNewlines(text);
  if (token.empty()) return std::nullopt;
  return std::string(token);
}

}  // namespace deskplay::core
