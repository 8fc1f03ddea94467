#pragma once

#include <string>
#include <string_view>

namespace deskplay::glyphon {

// The last component of a slash-separated path, trailing slashes aside: "a.txt" for
// "/Users/me/Desktop/a.txt", "Folder" for "/Users/me/Desktop/Folder/", "/" for "/".
std::string lastPathComponent(std::string_view path);

}  // namespace deskplay::glyphon
