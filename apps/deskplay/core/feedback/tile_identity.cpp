#include "core/feedback/tile_identity.hpp"

#include <fcntl.h>

#include <cerrno>

#include "common/file_status.hpp"
#include "common/system_error.hpp"

namespace deskplay::core {

std::string deviceText(dev_t device) {
  return std::to_string(device);
}

std::string inodeText(std::uint64_t inode) {
  return std::to_string(inode);
}

Result<void, FeedbackError> checkTileOwnership(const SessionTile& tile) {
  FileStatus status;
  if (statAt(AT_FDCWD, tile.path.c_str(), SymlinkPolicy::NoFollow, status) != 0) {
    return FeedbackError{FeedbackFailure::ownershipChanged,
                         errnoMessage("look at tile " + tile.path, errno)};
  }
  if (!status.isRegularFile() || deviceText(status.device) != tile.dev ||
      inodeText(status.inode) != tile.ino) {
    return FeedbackError{FeedbackFailure::ownershipChanged,
                         "tile " + tile.path + " is no longer the session's file"};
  }
  return Result<void, FeedbackError>::success();
}

}  // namespace deskplay::core
