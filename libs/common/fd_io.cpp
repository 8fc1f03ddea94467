#include "common/fd_io.hpp"

#include <unistd.h>

#include <cerrno>

namespace deskplay {

int writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

int readUpTo(int fd, char* buffer, std::size_t capacity, std::size_t& filled) {
  filled = 0;
  while (filled < capacity) {
    const ssize_t got = ::read(fd, buffer + filled, capacity - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return 0;
}

}  // namespace deskplay
