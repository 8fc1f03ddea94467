#include "core/feedback/session_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/fd_io.hpp"
#include "common/file_status.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"
#include "core/feedback/session_record.hpp"

namespace deskplay::core {

Status createPrivateDirectory(const std::filesystem::path& path) {
  constexpr mode_t kOwnerOnly = 0700;
  const std::string text = path.string();
  if (::mkdir(text.c_str(), kOwnerOnly) != 0) {
    return Error{errnoMessage("create session directory " + text, errno)};
  }
  const UniqueFd directory(::open(text.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!directory.valid() || ::fchmod(directory.get(), kOwnerOnly) != 0) {
    const int error = errno;
    ::rmdir(text.c_str());
    return Error{errnoMessage("protect session directory " + text, error)};
  }
  return Status::success();
}

Result<std::optional<std::string>, FeedbackError> readRecordFile(
    const std::filesystem::path& path) {
  const std::string text = path.string();
  const UniqueFd file(::open(text.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) {
    const int error = errno;
    if (error == ENOENT) return std::optional<std::string>();
    if (error == ELOOP) {
      return FeedbackError{FeedbackFailure::invalidRecord,
                           "invalid session record: " + text + " is a symbolic link"};
    }
    return FeedbackError{FeedbackFailure::fileSystemFailed,
                         errnoMessage("open session record " + text, error)};
  }

  FileStatus status;
  if (statDescriptor(file.get(), status) != 0) {
    return FeedbackError{FeedbackFailure::fileSystemFailed,
                         errnoMessage("inspect session record " + text, errno)};
  }
  if (!status.isRegularFile()) {
    return FeedbackError{FeedbackFailure::invalidRecord,
                         "invalid session record: " + text + " is not a regular file"};
  }

  // One byte past the limit is enough to tell an oversized record.
  std::string bytes(kMaxSessionRecordBytes + 1, '\0');
  std::size_t filled = 0;
  if (readUpTo(file.get(), bytes.data(), bytes.size(), filled) != 0) {
    return FeedbackError{FeedbackFailure::fileSystemFailed,
                         errnoMessage("read session record " + text, errno)};
  }
  bytes.resize(filled);
  return std::optional<std::string>(std::move(bytes));
}

}  // namespace deskplay::core
