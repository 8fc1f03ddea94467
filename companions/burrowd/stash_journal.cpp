#include "stash_journal.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

#include "common/durable_sync.hpp"
#include "common/fd_io.hpp"
#include "common/file_status.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"
#include "common/utf8.hpp"
#include "common/uuid.hpp"
#include "entry_name.hpp"
#include "failure.hpp"

namespace deskplay::burrowd {

namespace {

const std::string kManifest(kManifestName);

Error notBoundedRegularFile() {
  return failure("Journal is not a bounded regular file");
}

// Removes the staging file, if it is still there, and closes it, however a write ends.
class StagingFile {
 public:
  StagingFile(int stashFd, std::string name, int fd)
      : stash_(stashFd), name_(std::move(name)), fd_(fd) {}
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;
  ~StagingFile() {
    ::unlinkat(stash_, name_.c_str(), 0);
    ::close(fd_);
  }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }

 private:
  int stash_;
  std::string name_;
  int fd_;
};

}  // namespace

Result<std::optional<std::string>> StashJournal::read() const {
  // O_NONBLOCK keeps a FIFO in the journal's place from blocking the open.
  const int opened =
      ::openat(stash_, kManifest.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (opened < 0 && errno == ENOENT) return std::optional<std::string>();
  if (Status open = checked(opened, "open journal"); !open.ok()) return failure(open);
  UniqueFd journal(opened);

  FileStatus status;
  if (Status stat = checked(statDescriptor(journal.get(), status), "stat journal"); !stat.ok()) {
    return failure(stat);
  }
  if (!status.isRegularFile() || status.size < 0 ||
      static_cast<std::size_t>(status.size) > kJournalSizeLimit) {
    return notBoundedRegularFile();
  }

  std::string text;
  text.reserve(static_cast<std::size_t>(status.size) + 1);
  if (Status read = checked(readToEnd(journal.get(), text), "read journal"); !read.ok()) {
    return failure(read);
  }
  // The file may have grown since the fstat.
  if (text.size() > kJournalSizeLimit) return notBoundedRegularFile();
  if (!isValidUtf8(text)) return failure("Journal is not UTF-8");
  return std::optional<std::string>(std::move(text));
}

Status StashJournal::write(std::string_view text) const {
  if (text.size() > kJournalSizeLimit) return failure("Journal exceeds the recovery size limit");
  // A journal that cannot be read back is evidence to keep, never to overwrite.
  if (auto existing = read(); !existing.ok()) return existing.error();

  Result<std::string> uuid = randomUuid();
  if (!uuid.ok()) return failure(uuid.message());
  std::string stagingName = ".frondel-journal-" + uuid.value() + ".tmp";

  const int created = ::openat(stash_, stagingName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (Status create = checked(created, "create journal staging file"); !create.ok()) {
    return failure(create);
  }
  const StagingFile staging(stash_, std::move(stagingName), created);

  // A failed write reports the platform's error as it is, not as a labelled Failure.
  if (writeAll(staging.fd(), text) != 0) {
    return Error{errnoMessage("write journal staging file", errno)};
  }
  if (Status sync = checked(durableSync(staging.fd()), "sync journal"); !sync.ok()) {
    return failure(sync);
  }
  if (Status publish = checked(
          ::renameat(stash_, staging.name().c_str(), stash_, kManifest.c_str()), "publish journal");
      !publish.ok()) {
    return failure(publish);
  }
  if (Status sync = checked(durableSync(stash_), "sync journal directory"); !sync.ok()) {
    return failure(sync);
  }
  return Status::success();
}

}  // namespace deskplay::burrowd
