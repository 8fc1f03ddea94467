#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace deskplay {

// The path of a URL written as text, percent-decoded and without a trailing slash (except
// for the root), as the platform's URL type gives it: "file:///Users/me/Desktop/a%20b.txt"
// gives "/Users/me/Desktop/a b.txt", "file:///Users/me/Desktop/Games/" gives
// "/Users/me/Desktop/Games", and a relative reference such as "notes.txt" gives itself.
// Nothing when the text is no URL (empty, characters a URL cannot hold, a broken escape),
// or when the decoded path is not UTF-8 or holds a NUL, which no file name can.
std::optional<std::string> urlPath(std::string_view text);

}  // namespace deskplay
