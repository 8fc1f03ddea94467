#pragma once

#include <plist/plist.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/result.hpp"
#include "plist_files/plist_file.hpp"

namespace deskplay::plistbuddy {

// The types Add creates, named as the tool names them.
enum class EntryType { string, integer, real, boolean, dict, array };

// "string", "integer", "real", "bool", "dict", "array", in any case; nothing for others.
std::optional<EntryType> entryTypeNamed(std::string_view name);

// A new node of `type` holding `text` (dictionaries and arrays start empty and ignore it).
// Without text: "", 0, 0.0 or false. An error names the text that does not fit the type.
Result<plist::PlistNode> newValue(EntryType type, const std::optional<std::string>& text);

// Replaces the value of an existing string, integer, real, bool or data node, keeping its
// type; a text that does not fit the type changes nothing and is an error.
Status assignValue(plist_t node, const std::string& text);

}  // namespace deskplay::plistbuddy
