#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace deskplay::plistbuddy {

// The key names of an entry such as ":DesktopViewSettings:IconViewSettings:gridSpacing".
// The leading colon is optional and empty names between colons are skipped, so ":" (or
// nothing) names the root.
std::vector<std::string> entryKeys(std::string_view entry);

// A key used inside an array: a zero-based decimal index.
std::optional<uint32_t> arrayIndex(std::string_view key);

// The node a key names inside `container` (a dictionary key or an array index); nullptr when
// there is none or `container` holds no children.
plist_t childNamed(plist_t container, const std::string& key);

// The node at `keys` below `root`, or nullptr when some step is missing.
plist_t findEntry(plist_t root, const std::vector<std::string>& keys);

}  // namespace deskplay::plistbuddy
