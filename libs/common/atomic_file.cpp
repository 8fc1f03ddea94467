#include "common/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/durable_sync.hpp"
#include "common/fd_io.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"
#include "common/uuid.hpp"

namespace deskplay {

namespace {

Error failure(std::string_view what, const std::filesystem::path& path, int error) {
  return Error{errnoMessage(std::string(what) + " " + path.string(), error)};
}

}  // namespace

Status replaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                             mode_t mode) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const Result<std::string> unique = randomUuid();
  if (!unique.ok()) return unique.error();
  const std::filesystem::path staging =
      folder / ("." + path.filename().string() + "." + unique.value() + ".tmp");

  UniqueFd file(::open(staging.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (!file.valid()) return failure("create", staging, errno);
  // The umask must not narrow what the caller asked for.
  if (::fchmod(file.get(), mode) != 0 || writeAll(file.get(), content) != 0 ||
      durableSync(file.get()) != 0) {
    const int error = errno;
    ::unlink(staging.c_str());
    return failure("write", staging, error);
  }
  file.reset();
  if (::rename(staging.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(staging.c_str());
    return failure("replace", path, error);
  }
  UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid() || durableSync(directory.get()) != 0) {
    return failure("sync", folder, errno);
  }
  return Status::success();
}

}  // namespace deskplay
