#include "app/desktop_change_journal.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "common/durable_sync.hpp"
#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::glyphon {

DesktopChangeJournal::DesktopChangeJournal(std::optional<std::filesystem::path> file)
    : file_(std::move(file)) {
  note({"glyphon"});
}

void DesktopChangeJournal::note(std::initializer_list<std::string_view> settings) const {
  if (!file_) return;
  // Not blocking: a FIFO in the file's place must not stall the command.
  const UniqueFd file(
      ::open(file_->c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return;
  std::string lines;
  for (const std::string_view setting : settings) lines.append(setting).append("\n");
  // A note that cannot be written changes nothing: without it everything is put back.
  if (writeAll(file.get(), lines) == 0) static_cast<void>(durableSync(file.get()));
}

DesktopChangeJournal desktopChangeJournalFromEnvironment() {
  const char* file = std::getenv(kDesktopChangesVariable);
  if (file == nullptr || *file == '\0') return DesktopChangeJournal(std::nullopt);
  return DesktopChangeJournal(std::filesystem::path(file));
}

}  // namespace deskplay::glyphon
