#pragma once

#include <cstddef>
#include <string_view>

namespace deskplay {

// Writes every byte, across short writes and interruptions. 0, or -1 with errno set.
int writeAll(int fd, std::string_view data);

// Reads until end of file or until `capacity` bytes are in `buffer`; `filled` says how
// many arrived. 0, or -1 with errno set.
int readUpTo(int fd, char* buffer, std::size_t capacity, std::size_t& filled);

}  // namespace deskplay
