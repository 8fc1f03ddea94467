#include "core/catalog/game_folder_scan.hpp"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <optional>
#include <string>
#include <system_error>

#include "core/catalog/game_json.hpp"

namespace deskplay::core {

namespace {

std::optional<QByteArray> readWholeFile(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}

std::optional<Game> gameInFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
  const std::string name = folder.filename().string();
  if (!std::filesystem::exists(folder / (name + ".mjs"), error)) return std::nullopt;
  const auto manifest = readWholeFile(folder / "manifest.json");
  if (!manifest) return std::nullopt;
  auto game =
      decodeGame(std::string_view(manifest->constData(), static_cast<size_t>(manifest->size())));
  if (!game.ok() || game.value().id != name) return std::nullopt;
  game.value().bundleURL = folder;
  return std::move(game).value();
}

}  // namespace

std::vector<Game> scanGameFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    entries.push_back(it->path());
  }
  // Directory listings come in no fixed order; name order keeps equal-ranked games stable
  // from one scan to the next.
  std::sort(entries.begin(), entries.end());
  std::vector<Game> games;
  for (const auto& entry : entries) {
    if (auto game = gameInFolder(entry)) games.push_back(std::move(*game));
  }
  return games;
}

}  // namespace deskplay::core
