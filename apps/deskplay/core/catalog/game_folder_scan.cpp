#include "core/catalog/game_folder_scan.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>

#include "common/small_file.hpp"
#include "core/catalog/game_json.hpp"

namespace deskplay::core {

namespace {

// One entry of a games folder: its record, nothing when it is no game at all, or why a
// folder that looks like a game gave none.
Result<std::optional<Game>> gameInFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return std::optional<Game>();
  const std::string name = folder.filename().string();
  if (!std::filesystem::exists(folder / (name + ".mjs"), error)) return std::optional<Game>();
  const auto manifest =
      readSmallFile(folder / "manifest.json", kRecordFileLimit, FinalLink::refuse);
  if (!manifest.ok()) return manifest.error();
  if (!manifest.value()) return Error{"no manifest.json"};
  auto game = decodeGame(*manifest.value());
  if (!game.ok()) return Error{"manifest.json does not decode: " + game.message()};
  if (game.value().id != name) {
    return Error{"manifest.json names the game \"" + game.value().id + "\""};
  }
  game.value().bundleURL = folder;
  return std::optional<Game>(std::move(game).value());
}

}  // namespace

GameFolderScan scanGameFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    entries.push_back(it->path());
  }
  // Directory listings come in no fixed order; name order keeps equal-ranked games stable
  // from one scan to the next.
  std::sort(entries.begin(), entries.end());
  GameFolderScan scan;
  for (const auto& entry : entries) {
    auto game = gameInFolder(entry);
    if (!game.ok()) {
      scan.skipped.push_back({entry, game.message()});
    } else if (game.value()) {
      scan.games.push_back(std::move(*game.value()));
    }
  }
  return scan;
}

}  // namespace deskplay::core
