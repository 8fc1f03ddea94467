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

int readToEnd(int fd, std::string& out) {
  constexpr size_t kFirstChunk = 1 << 16;
  for (;;) {
    const size_t used = out.size();
    // A caller that reserved the expected size exactly keeps that allocation: the
    // read that sees end of file goes into the one spare byte.
    if (out.capacity() == used) out.reserve(used < kFirstChunk ? kFirstChunk : used * 2);
    // Read straight into the string's spare capacity, then trim to what arrived.
    out.resize(out.capacity());
    const ssize_t got = ::read(fd, out.data() + used, out.size() - used);
    if (got < 0) {
      out.resize(used);
      if (errno == EINTR) continue;
      return -1;
    }
    out.resize(used + static_cast<size_t>(got));
    if (got == 0) return 0;
  }
}

}  // namespace deskplay
