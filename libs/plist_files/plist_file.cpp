#include "plist_files/plist_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <limits>

#include "common/atomic_file.hpp"
#include "common/small_file.hpp"
#include "common/system_error.hpp"

namespace deskplay::plist {

namespace {

// Preference files are small; anything larger is not one of ours.
constexpr std::size_t kLargestPlistFile = 64 * 1024 * 1024;

}  // namespace

Result<PlistDocument> parsePlist(std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max()) return Error{"plist is too large"};
  const auto length = static_cast<uint32_t>(bytes.size());
  const PlistFormat format =
      plist_is_binary(bytes.data(), length) != 0 ? PlistFormat::binary : PlistFormat::xml;
  plist_t root = nullptr;
  if (format == PlistFormat::binary) {
    plist_from_bin(bytes.data(), length, &root);
  } else {
    plist_from_xml(bytes.data(), length, &root);
  }
  if (root == nullptr) return Error{"not a property list"};
  return PlistDocument{PlistNode(root), format};
}

Result<std::optional<PlistDocument>> readPlistFile(const std::filesystem::path& path) {
  // Settings may be linked in from elsewhere, so a final link is followed.
  auto bytes = readSmallFile(path, kLargestPlistFile, FinalLink::follow);
  if (!bytes.ok()) return bytes.error();
  if (!bytes.value()) return std::optional<PlistDocument>();
  Result<PlistDocument> document = parsePlist(*bytes.value());
  if (!document.ok()) return Error{path.string() + ": " + document.message()};
  return std::optional<PlistDocument>(std::move(document).value());
}

std::string serialisePlist(plist_t root, PlistFormat format) {
  char* bytes = nullptr;
  uint32_t length = 0;
  std::string serialised;
  if (format == PlistFormat::binary) {
    plist_to_bin(root, &bytes, &length);
    if (bytes != nullptr) serialised.assign(bytes, length);
    plist_to_bin_free(bytes);
  } else {
    plist_to_xml(root, &bytes, &length);
    if (bytes != nullptr) serialised.assign(bytes, length);
    plist_to_xml_free(bytes);
  }
  return serialised;
}

Status writePlistFile(const std::filesystem::path& path, plist_t root, PlistFormat format) {
  const std::string bytes = serialisePlist(root, format);
  if (bytes.empty()) return Error{"could not serialise " + path.string()};
  return replaceFileAtomically(path, bytes);
}

Result<PlistFolderLock> PlistFolderLock::acquire(const std::filesystem::path& folder) {
  UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid()) return Error{errnoMessage("open " + folder.string(), errno)};
  int locked = 0;
  do {
    locked = ::flock(directory.get(), LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) return Error{errnoMessage("lock " + folder.string(), errno)};
  return PlistFolderLock(std::move(directory));
}

}  // namespace deskplay::plist
