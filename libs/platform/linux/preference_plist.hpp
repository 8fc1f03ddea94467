#pragma once

#include <optional>

#include "platform/preferences.hpp"
#include "plist_files/plist_file.hpp"

namespace deskplay::platform {

// Between property-list nodes and typed preference values. Nodes with no preference type
// (keys, UIDs) give nothing; in containers they are left out.
std::optional<PreferenceValue> preferenceFromPlist(plist_t node);
plist::PlistNode plistFromPreference(const PreferenceValue& value);

}  // namespace deskplay::platform
