#pragma once

#include <optional>
#include <string>

#include "finder/finder_services.hpp"

namespace deskplay::glyphon {

// One PlistBuddy command's outcome: the printed value, or an error text. A failed "Print "
// gives neither: a missing entry is no error.
struct PlistBuddyRun {
  std::optional<std::string> value;
  std::optional<std::string> error;
};

// Runs PlistBuddy with one `command` on Finder's preferences file.
PlistBuddyRun runPlistBuddy(const FinderServices& services, const std::string& command);

// Makes sure the desktop's grid spacing entry exists (64.0 when it did not) and gives its
// printed value; nothing when it cannot be read.
std::optional<std::string> ensureFinderGridSpacingEntry(const FinderServices& services);

}  // namespace deskplay::glyphon
