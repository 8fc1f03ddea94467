#include "core/settings/legacy_migration.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/exclusive_rename.hpp"

namespace deskplay::core {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFinderMetadata = ".DS_Store";

// The entry names of `folder`; a folder that cannot be listed counts as empty.
std::vector<std::string> entryNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return names;
  for (auto it = entries; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    names.push_back(it->path().filename().string());
  }
  return names;
}

bool holdsWork(const fs::path& folder) {
  for (const std::string& name : entryNames(folder)) {
    if (name != kFinderMetadata) return true;
  }
  return false;
}

// Whether something, even a dangling symbolic link, is at `path`.
bool occupied(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// Whether `entry` of `folder` is `inner` or holds it, with symbolic links resolved as far as
// they exist (the entry itself is not followed: moving a link moves only the link). Moving
// or copying a folder into itself would never end.
bool entryHolds(const fs::path& folder, const std::string& entry, const fs::path& inner) {
  std::error_code error;
  const fs::path outer = standardizedPath(fs::weakly_canonical(folder, error) / entry);
  if (error) return true;
  const fs::path resolvedInner = standardizedPath(fs::weakly_canonical(inner, error));
  if (error) return true;
  return std::mismatch(outer.begin(), outer.end(), resolvedInner.begin(), resolvedInner.end())
             .first == outer.end();
}

// A name in `folder` that nothing holds yet, for a copy still in progress.
fs::path stagingPath(const fs::path& folder, const std::string& name) {
  for (int attempt = 0;; ++attempt) {
    fs::path candidate = folder / ("." + name + ".migrating-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(attempt));
    if (!occupied(candidate)) return candidate;
  }
}

// The copy fallback of transferWithoutReplacing().
bool copyAcross(const fs::path& source, const fs::path& destination) {
  const fs::path staging = stagingPath(destination.parent_path(), destination.filename().string());
  std::error_code error;
  fs::copy(source, staging, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  if (!error && renameExclusive(AT_FDCWD, staging.c_str(), AT_FDCWD, destination.c_str()) == 0) {
    return true;
  }
  fs::remove_all(staging, error);
  return false;
}

}  // namespace

fs::path standardizedPath(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
  return normal;
}

bool transferWithoutReplacing(const fs::path& source, const fs::path& destination) {
  if (renameExclusive(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str()) == 0) return true;
  if (errno == EEXIST) return false;
  return copyAcross(source, destination);
}

void migrateLegacyFolder(const fs::path& legacyFolder, const fs::path& currentFolder,
                         const MigrationExclusions& exclusions) {
  const fs::path legacy = standardizedPath(legacyFolder);
  const fs::path current = standardizedPath(currentFolder);
  if (legacy == current) return;
  std::error_code error;
  if (!fs::exists(legacy, error)) return;
  if (holdsWork(current)) return;
  fs::create_directories(current, error);

  for (const std::string& name : entryNames(legacy)) {
    if (name == kFinderMetadata || exclusions.names.contains(name)) continue;
    const fs::path source = legacy / name;
    const fs::path destination = current / name;
    if (entryHolds(legacy, name, current) || occupied(destination)) continue;
    static_cast<void>(transferWithoutReplacing(source, destination));
  }
}

}  // namespace deskplay::core
