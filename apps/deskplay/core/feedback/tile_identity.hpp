#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "core/feedback/feedback_error.hpp"
#include "core/feedback/session_record.hpp"

namespace deskplay::core {

// A device number as records carry it: the platform's dev_t in decimal.
std::string deviceText(dev_t device);
// An inode number as records carry it: unsigned 64-bit decimal.
std::string inodeText(std::uint64_t inode);

// Whether the file at the tile's path is still the tile the engine made: a regular file
// (a link there is not followed) with the recorded device and inode numbers. Anything else,
// a missing file included, is `ownershipChanged`.
Result<void, FeedbackError> checkTileOwnership(const SessionTile& tile);

}  // namespace deskplay::core
