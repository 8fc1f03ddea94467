#pragma once

namespace deskplay {

// Atomically renames `fromName` in `fromDir` to `toName` in `toDir`, failing with EEXIST
// instead of replacing an existing target. There is deliberately no fallback to a plain
// rename: where the platform or file system cannot do this, the call fails.
// Returns 0, or -1 with errno set.
int renameExclusive(int fromDir, const char* fromName, int toDir, const char* toName);

}  // namespace deskplay
