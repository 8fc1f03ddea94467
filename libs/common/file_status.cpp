#include "common/file_status.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace deskplay {

#if defined(__APPLE__)

namespace {

void fill(const struct stat& record, FileStatus& out) {
  out.device = record.st_dev;
  out.inode = record.st_ino;
  out.mode = record.st_mode;
  out.size = record.st_size;
  out.birthSeconds = record.st_birthtimespec.tv_sec;
  out.birthNanoseconds = record.st_birthtimespec.tv_nsec;
}

}  // namespace

int statAt(int dirFd, const char* name, SymlinkPolicy symlinks, FileStatus& out) {
  struct stat record {};
  const int flags = symlinks == SymlinkPolicy::NoFollow ? AT_SYMLINK_NOFOLLOW : 0;
  if (::fstatat(dirFd, name, &record, flags) != 0) return -1;
  fill(record, out);
  return 0;
}

int statDescriptor(int fd, FileStatus& out) {
  struct stat record {};
  if (::fstat(fd, &record) != 0) return -1;
  fill(record, out);
  return 0;
}

#else

namespace {

int statxInto(int dirFd, const char* name, int flags, FileStatus& out) {
  struct statx record {};
  const unsigned int wanted = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BTIME;
  if (::statx(dirFd, name, flags | AT_STATX_SYNC_AS_STAT, wanted, &record) != 0) return -1;
  out.device = makedev(record.stx_dev_major, record.stx_dev_minor);
  out.inode = record.stx_ino;
  out.mode = record.stx_mode;
  out.size = static_cast<std::int64_t>(record.stx_size);
  if ((record.stx_mask & STATX_BTIME) != 0) {
    out.birthSeconds = record.stx_btime.tv_sec;
    out.birthNanoseconds = record.stx_btime.tv_nsec;
  } else {
    out.birthSeconds = 0;
    out.birthNanoseconds = 0;
  }
  return 0;
}

}  // namespace

int statAt(int dirFd, const char* name, SymlinkPolicy symlinks, FileStatus& out) {
  const int flags = symlinks == SymlinkPolicy::NoFollow ? AT_SYMLINK_NOFOLLOW : 0;
  return statxInto(dirFd, name, flags, out);
}

int statDescriptor(int fd, FileStatus& out) {
  return statxInto(fd, "", AT_EMPTY_PATH, out);
}

#endif

}  // namespace deskplay
