#include "stash_journal.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

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

// Below this a journal is read into ordinary pages; huge ones would cost more than they save.
constexpr std::int64_t kHugePagesFrom = std::int64_t{4} << 20;

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

Result<std::optional<JournalText>> StashJournal::read() const {
  // O_NONBLOCK keeps a FIFO in the journal's place from blocking the open.
  const int opened =
      ::openat(stash_, kManifest.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (opened < 0 && errno == ENOENT) return std::optional<JournalText>();
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

  // Room for one byte beyond the limit shows a file that grew past it since the fstat.
  // Pages that are not read into are never touched, so this costs the file's size.
  constexpr std::size_t kCapacity = kJournalSizeLimit + 1;
  const PageSize pages = status.size >= kHugePagesFrom ? PageSize::Huge : PageSize::Normal;
  Result<LargeBuffer> bytes = LargeBuffer::allocate(kCapacity, pages);
  if (!bytes.ok()) return failure(bytes.message());
  std::size_t size = 0;
  if (Status read =
          checked(readUpTo(journal.get(), bytes.value().data(), kCapacity, size), "read journal");
      !read.ok()) {
    return failure(read);
  }
  if (size > kJournalSizeLimit) return notBoundedRegularFile();
  if (!isValidUtf8({bytes.value().data(), size})) return failure("Journal is not UTF-8");
  return std::optional<JournalText>(JournalText(std::move(bytes).value(), size));
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
