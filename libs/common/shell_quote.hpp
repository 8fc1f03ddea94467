#pragma once

#include <string>
#include <string_view>

namespace deskplay {

// `text` as one single-quoted POSIX shell word: every byte stands for itself, so any text
// (quotes, newlines, `$`, backslashes) reaches the command unchanged. A single quote inside
// is closed, escaped and reopened: it's -> 'it'\''s'.
std::string shellQuoted(std::string_view text);

}  // namespace deskplay
