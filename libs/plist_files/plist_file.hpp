#pragma once

#include <plist/plist.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/result.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::plist {

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
// One owned plist node with everything below it.
using PlistNode = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

enum class PlistFormat { xml, binary };

struct PlistDocument {
  PlistNode root;
  PlistFormat format = PlistFormat::xml;
};

// Parses plist bytes in either format. The message says what is wrong.
Result<PlistDocument> parsePlist(std::string_view bytes);

// Reads a plist file in either format: nothing when the file does not exist; an error when
// it cannot be read or is not a plist.
Result<std::optional<PlistDocument>> readPlistFile(const std::filesystem::path& path);

// Serialises `root` in `format`.
std::string serialisePlist(plist_t root, PlistFormat format);

// Writes `root` to `path` in `format`, replacing the old file atomically.
Status writePlistFile(const std::filesystem::path& path, plist_t root, PlistFormat format);

// Serialises read-modify-write cycles on the plist files of one folder across processes:
// an exclusive flock on the folder itself, held while this object lives. (Locking the file
// would not do: an atomic replace gives it a new inode.)
class PlistFolderLock {
 public:
  static Result<PlistFolderLock> acquire(const std::filesystem::path& folder);

 private:
  explicit PlistFolderLock(UniqueFd folder) : folder_(std::move(folder)) {}
  UniqueFd folder_;
};

}  // namespace deskplay::plist
