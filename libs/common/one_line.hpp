#pragma once

#include <string>
#include <string_view>

namespace deskplay {

// Our line protocols and logs carry text from elsewhere (paths, ids, error descriptions), and
// their readers differ in what ends a line: a line feed, a carriage return, and for some also
// VT, FF, FS, GS, RS, NEL, LS or PS. Each of these is written as a visible escape in JSON's
// spelling ("\n", "\r", "\f", "\u000b", "\u001c" … "\u0085", "\u2028", "\u2029"), so the text
// stays one line whatever it holds. Every other byte is kept as it is, valid UTF-8 or not, and
// backslashes are not doubled: the result is for eyes and line splitters, not for decoding
// back. Inside the strings of a compact JSON text the escapes mean what the raw characters
// meant, so a JSON line keeps its value.
void appendOneLine(std::string& out, std::string_view text);

std::string oneLine(std::string_view text);

}  // namespace deskplay
