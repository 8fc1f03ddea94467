#pragma once

#include <plist/plist.h>

#include <string>

namespace deskplay::plistbuddy {

// How Print shows a node, without the final line feed: strings and data as they are,
// integers in decimal, reals in the shortest form that reads back the same (64, 0.5), bools
// as true or false, dates in UTC ("Mon Jan 01 00:00:00 UTC 2001"); dictionaries as
// "Dict {" with one "key = value" line per entry and arrays as "Array {" with one line per
// item, each level indented four spaces more, closed by "}" at the level's own indent.
std::string printText(plist_t node);

}  // namespace deskplay::plistbuddy
