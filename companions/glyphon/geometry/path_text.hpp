#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace deskplay::glyphon {

// The last component of a slash-separated path, trailing slashes aside: "a.txt" for
// "/Users/me/Desktop/a.txt", "Folder" for "/Users/me/Desktop/Folder/", "/" for "/".
std::string lastPathComponent(std::string_view path);

// The path of a "file://" URL, percent escapes decoded and without a trailing slash (but "/"
// stays "/"); the host must be empty or "localhost". Nothing for any other URL, and for one
// whose escapes are broken or decode to a NUL byte.
std::optional<std::string> fileUrlPath(std::string_view url);

}  // namespace deskplay::glyphon
