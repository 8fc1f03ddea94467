#include "common/append_line.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/system_error.hpp"
#include "common/unique_fd.hpp"

namespace deskplay {

Status appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  UniqueFd fd(::open(file.c_str(),
                     O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                     0644));
  if (!fd.valid()) return Error{errnoMessage("open " + file.string(), errno)};
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return Error{errnoMessage("stat " + file.string(), errno)};
  if (!S_ISREG(status.st_mode)) return Error{file.string() + ": not a regular file"};
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Error{errnoMessage("write " + file.string(), errno)};
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return Status::success();
}

}  // namespace deskplay
