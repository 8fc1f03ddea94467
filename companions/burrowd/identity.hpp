#pragma once

#include "common/file_status.hpp"
#include "request.hpp"

namespace deskplay::burrowd {

// The identity map of a stat record: device, inode and birth time ("seconds:nanoseconds").
// A rename within one file system keeps all three.
IdentityMap identityOf(const FileStatus& status);

}  // namespace deskplay::burrowd
