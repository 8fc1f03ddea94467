#include "support/memory_file.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>

namespace deskplay::testing {

int memoryFile(std::string_view content) {
  const int fd = ::memfd_create("test-input", MFD_CLOEXEC);
  if (fd < 0) throw std::runtime_error("memfd_create failed");
  size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n <= 0) throw std::runtime_error("write to memory file failed");
    written += static_cast<size_t>(n);
  }
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

}  // namespace deskplay::testing
