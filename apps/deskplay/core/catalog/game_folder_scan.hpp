#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/catalog/game.hpp"

namespace deskplay::core {

// A game folder that holds its entry module but gave no record, and why.
struct SkippedGameFolder {
  std::filesystem::path folder;
  std::string reason;
};

struct GameFolderScan {
  std::vector<Game> games;
  std::vector<SkippedGameFolder> skipped;
};

// The games in one games folder (packaged layout): each directory entry, hidden ones too,
// holding its entry module "<name>.mjs" and a "manifest.json" that decodes as one record whose
// `id` is exactly the entry's name. Records carry their folder as `bundleURL` and come in name
// order; a folder that cannot be listed has no games. Entries without the entry module are no
// games and pass unremarked; a folder that has one but gives no record is in `skipped`. The
// manifest is read only when it is a regular file (not through a link) of at most
// kRecordFileLimit, so no folder can stall or flood the scan.
GameFolderScan scanGameFolder(const std::filesystem::path& folder);

}  // namespace deskplay::core
