#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/large_buffer.hpp"
#include "common/result.hpp"

namespace deskplay::burrowd {

// The largest journal kept or read back: 16 MiB, both as file size and as text length.
inline constexpr std::size_t kJournalSizeLimit = 16 * 1024 * 1024;

// The journal's text, valid UTF-8, in storage that suits a 16 MiB read: journals are read
// back on every write.
class JournalText {
 public:
  std::string_view view() const { return {bytes_.data(), size_}; }

 private:
  friend class StashJournal;
  JournalText(LargeBuffer bytes, std::size_t size) : bytes_(std::move(bytes)), size_(size) {}

  LargeBuffer bytes_;
  std::size_t size_;
};

// The client's recovery journal: one opaque UTF-8 document, ".manifest.json" in the stash
// directory, replaced atomically and durably. Errors are reply descriptions.
class StashJournal {
 public:
  explicit StashJournal(int stashFd) : stash_(stashFd) {}

  // The journal's text, or nothing when there is no journal.
  Result<std::optional<JournalText>> read() const;

  // Replaces the journal with `text`, never replacing one that cannot be read back.
  Status write(std::string_view text) const;

 private:
  int stash_;
};

}  // namespace deskplay::burrowd
