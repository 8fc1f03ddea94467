#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace deskplay::core {

// `path` with "." and ".." components resolved and no trailing separator, as paths are
// compared here; symbolic links are not followed.
std::filesystem::path standardizedPath(const std::filesystem::path& path);

// What is left alone in the old folder.
struct MigrationExclusions {
  // Entry names never moved (besides ".DS_Store", which never moves).
  std::set<std::string, std::less<>> names;
};

// Moves `source` to `destination` by an exclusive rename; where that fails for another reason
// than a taken name (another volume), copies it there instead, under a hidden name first so a
// broken-off copy never looks finished. Never replaces anything at `destination`, even what
// appeared after a check. False when nothing arrived at `destination`.
bool transferWithoutReplacing(const std::filesystem::path& source,
                              const std::filesystem::path& destination);

// Moves the work left in `legacy` into `current`, once: only when `legacy` exists, differs
// from `current`, and `current` holds nothing but ".DS_Store" (a folder with work in it is
// never merged into). `current` is then created, and each entry of `legacy` goes across
// under its own name by an exclusive rename, never replacing what is already there; where
// the rename fails (another volume), it is copied instead. An entry that contains `current`
// stays. The old folder itself stays. Every file-system error is swallowed.
void migrateLegacyFolder(const std::filesystem::path& legacy, const std::filesystem::path& current,
                         const MigrationExclusions& exclusions);

}  // namespace deskplay::core
