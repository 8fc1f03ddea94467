#include "common/small_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "common/fd_io.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"

namespace deskplay {

Result<std::optional<std::string>> readSmallFile(const std::filesystem::path& path,
                                                 std::size_t limit, FinalLink links) {
  const std::string name = path.string();
  const int noFollow = links == FinalLink::refuse ? O_NOFOLLOW : 0;
  const UniqueFd file(
      ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
  if (!file.valid()) {
    const int error = errno;
    if (error == ENOENT) return std::optional<std::string>();
    if (error == ELOOP && links == FinalLink::refuse) {
      return Error{name + ": is a symbolic link"};
    }
    return Error{errnoMessage("open " + name, error)};
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return Error{errnoMessage("stat " + name, errno)};
  if (!S_ISREG(status.st_mode)) return Error{name + ": is not a regular file"};
  const Error tooLarge{name + ": is larger than " + std::to_string(limit) + " bytes"};
  const auto size = static_cast<std::size_t>(std::max<off_t>(status.st_size, 0));
  if (size > limit) return tooLarge;

  // The size is only a hint, as the file may change meanwhile: read on to the end, but never
  // beyond one byte past the limit.
  std::string bytes(size + 1, '\0');
  std::size_t filled = 0;
  while (true) {
    std::size_t got = 0;
    if (readUpTo(file.get(), bytes.data() + filled, bytes.size() - filled, got) != 0) {
      return Error{errnoMessage("read " + name, errno)};
    }
    filled += got;
    if (filled > limit) return tooLarge;
    if (filled < bytes.size()) break;
    bytes.resize(std::min(bytes.size() * 2, limit + 1));
  }
  bytes.resize(filled);
  return std::optional<std::string>(std::move(bytes));
}

}  // namespace deskplay
