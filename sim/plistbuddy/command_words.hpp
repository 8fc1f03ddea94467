#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace deskplay::plistbuddy {

// Splits one command into words as the tool does: blanks separate words; '…' and "…" quote
// (also inside a word, as in :"Window Settings":Bell); a backslash outside single quotes
// takes the next character literally. An unclosed quote runs to the end of the text. A pair
// of empty quotes is an empty word.
std::vector<std::string> splitCommandWords(std::string_view text);

}  // namespace deskplay::plistbuddy
