#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay::burrowd {

// The largest journal kept or read back: 16 MiB, both as file size and as text length.
inline constexpr std::size_t kJournalSizeLimit = 16 * 1024 * 1024;

// The client's recovery journal: one opaque UTF-8 document, ".manifest.json" in the stash
// directory, replaced atomically and durably. Errors are reply descriptions.
class StashJournal {
 public:
  explicit StashJournal(int stashFd) : stash_(stashFd) {}

  // The journal's text, or nothing when there is no journal.
  Result<std::optional<std::string>> read() const;

  // Replaces the journal with `text`, never replacing one that cannot be read back.
  Status write(std::string_view text) const;

 private:
  int stash_;
};

}  // namespace deskplay::burrowd
