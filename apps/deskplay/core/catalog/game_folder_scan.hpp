#pragma once

#include <filesystem>
#include <vector>

#include "core/catalog/game.hpp"

namespace deskplay::core {

// The games in one games folder (packaged layout): each directory entry, hidden ones too,
// holding its entry module "<name>.mjs" and a "manifest.json" that decodes as one record whose
// `id` is exactly the entry's name. Anything else is skipped silently; a folder that cannot
// be listed has no games. Records carry their folder as `bundleURL` and come in name order.
std::vector<Game> scanGameFolder(const std::filesystem::path& folder);

}  // namespace deskplay::core
