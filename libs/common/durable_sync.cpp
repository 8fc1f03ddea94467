#include "common/durable_sync.hpp"

#include <fcntl.h>
#include <unistd.h>

namespace deskplay {

int durableSync(int fd) {
#if defined(__APPLE__)
  // Some file systems (network volumes, FAT) refuse F_FULLFSYNC; fsync is the best left there.
  if (::fcntl(fd, F_FULLFSYNC) == 0) return 0;
#endif
  return ::fsync(fd);
}

}  // namespace deskplay
