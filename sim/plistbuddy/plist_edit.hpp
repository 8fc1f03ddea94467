#pragma once

#include <plist/plist.h>

#include <string>

#include "command.hpp"
#include "common/result.hpp"

namespace deskplay::plistbuddy {

// The three commands on a document held in memory. Errors carry the tool's message line,
// e.g. `Print: Entry, ":a:b", Does Not Exist`.

// The text Print shows for the command's entry (the whole document without one).
Result<std::string> printEntry(plist_t root, const Command& command);

// Changes the value of an existing entry that is not a dictionary or an array.
Status setEntry(plist_t root, const Command& command);

// Adds a new entry, creating the dictionaries on its way that do not exist yet. Inside an
// array the last key is the index the new item takes, and an entry ending in a colon
// (":list:") appends to the array it names.
Status addEntry(plist_t root, const Command& command);

}  // namespace deskplay::plistbuddy
