#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace deskplay::plist {

// Values of plist nodes as owned C++ values; the library's malloc'd copies are freed here.

std::string stringValue(plist_t node);
// Data bytes, carried in a string.
std::string dataValue(plist_t node);
// Integers are stored as 64-bit two's complement; negative values read back as such.
std::int64_t integerValue(plist_t node);
// Calls `visit` for each key and value of a dictionary, in the file's order.
void forEachDictItem(plist_t dictionary,
                     const std::function<void(std::string_view key, plist_t value)>& visit);

}  // namespace deskplay::plist
