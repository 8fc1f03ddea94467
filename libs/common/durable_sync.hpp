#pragma once

namespace deskplay {

// Forces a file's or directory's data and metadata to stable storage. On Apple
// platforms plain fsync only reaches the drive's cache, so F_FULLFSYNC is asked for first.
// Returns 0, or -1 with errno set, like the system call it stands for.
int durableSync(int fd);

}  // namespace deskplay
