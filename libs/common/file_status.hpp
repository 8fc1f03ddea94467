#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>

namespace deskplay {

// The parts of a stat record that identify a file, with its birth (creation) time.
struct FileStatus {
  dev_t device = 0;
  std::uint64_t inode = 0;
  mode_t mode = 0;
  std::int64_t size = 0;
  // Zero when the file system records no birth time, so an identity stays stable.
  std::int64_t birthSeconds = 0;
  std::int64_t birthNanoseconds = 0;

  bool isRegularFile() const { return S_ISREG(mode); }
};

enum class SymlinkPolicy { Follow, NoFollow };

// fstatat with the birth time. Returns 0, or -1 with errno set.
int statAt(int dirFd, const char* name, SymlinkPolicy symlinks, FileStatus& out);

// fstat with the birth time. Returns 0, or -1 with errno set.
int statDescriptor(int fd, FileStatus& out);

}  // namespace deskplay
