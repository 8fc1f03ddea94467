#include "common/exclusive_rename.hpp"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>

namespace deskplay {

int renameExclusive(int fromDir, const char* fromName, int toDir, const char* toName) {
#if defined(__APPLE__)
  return ::renameatx_np(fromDir, fromName, toDir, toName, RENAME_EXCL);
#elif defined(__linux__)
  return ::renameat2(fromDir, fromName, toDir, toName, RENAME_NOREPLACE);
#else
  (void)fromDir, (void)fromName, (void)toDir, (void)toName;
  errno = ENOSYS;
  return -1;
#endif
}

}  // namespace deskplay
