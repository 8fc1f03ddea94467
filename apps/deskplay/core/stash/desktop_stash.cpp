#include "core/stash/desktop_stash.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "common/exclusive_rename.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::core {

namespace {

// No-follow: a symbolic link to a directory is not a directory here, and every later call
// goes through the descriptor, so a path swapped meanwhile cannot redirect a move.
UniqueFd openDirectory(const std::filesystem::path& path) {
  return UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// The names in a directory, in the order it lists them; nothing when it cannot be read.
std::optional<std::vector<std::string>> listNames(int directory) {
  // A descriptor of its own, so the listing starts at the beginning whatever read before.
  const int own = ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (own < 0) return std::nullopt;
  DIR* stream = ::fdopendir(own);
  if (stream == nullptr) {
    ::close(own);
    return std::nullopt;
  }
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  const bool complete = errno == 0;
  ::closedir(stream);
  if (!complete) return std::nullopt;
  return names;
}

bool isHidden(std::string_view name) {
  return name.starts_with('.');
}

}  // namespace

DesktopStash::DesktopStash(std::filesystem::path desktop, std::filesystem::path storage)
    : desktop_(std::move(desktop)), storage_(std::move(storage)) {}

DesktopStash DesktopStash::forHome(const std::filesystem::path& home) {
  return DesktopStash(home / kDesktopFolderName, home / kStashFolderName);
}

bool DesktopStash::hide() {
  const UniqueFd desktop = openDirectory(desktop_);
  if (!desktop.valid()) return false;
  std::optional<std::vector<std::string>> names = listNames(desktop.get());
  if (!names) return false;
  std::erase_if(*names, [](const std::string& name) { return isHidden(name); });
  if (names->empty()) return true;

  std::error_code ignored;
  std::filesystem::create_directories(storage_, ignored);
  const UniqueFd storage = openDirectory(storage_);
  if (!storage.valid()) return false;

  bool allMoved = true;
  std::size_t moved = 0;
  for (const std::string& name : *names) {
    if (moveHook_) moveHook_(StashMove::Hide, moved, name);
    if (renameExclusive(desktop.get(), name.c_str(), storage.get(), name.c_str()) == 0) {
      ++moved;
    } else {
      allMoved = false;
    }
  }
  return allMoved;
}

bool DesktopStash::restore() {
  struct stat stashStatus {};
  if (::lstat(storage_.c_str(), &stashStatus) != 0) return errno == ENOENT;
  const UniqueFd desktop = openDirectory(desktop_);
  const UniqueFd storage = openDirectory(storage_);
  if (!desktop.valid() || !storage.valid()) return false;
  const std::optional<std::vector<std::string>> names = listNames(storage.get());
  if (!names) return false;

  bool allMoved = true;
  std::size_t moved = 0;
  for (const std::string& name : *names) {
    if (name == kFinderMetadataName) continue;
    if (moveHook_) moveHook_(StashMove::Restore, moved, name);
    if (renameExclusive(storage.get(), name.c_str(), desktop.get(), name.c_str()) == 0) {
      ++moved;
    } else {
      allMoved = false;
    }
  }
  if (!allMoved) return false;

  struct stat metadata {};
  if (::fstatat(storage.get(), kFinderMetadataName, &metadata, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(metadata.st_mode)) {
    ::unlinkat(storage.get(), kFinderMetadataName, 0);
  }
  return ::rmdir(storage_.c_str()) == 0;
}

}  // namespace deskplay::core
