#pragma once

#include <string>
#include <string_view>

namespace deskplay {

// Writes every byte, across short writes and interruptions. 0, or -1 with errno set.
int writeAll(int fd, std::string_view data);

// Appends everything up to end of file to `out`. 0, or -1 with errno set.
int readToEnd(int fd, std::string& out);

}  // namespace deskplay
