#pragma once

#include <string_view>

namespace deskplay {

// `text` (UTF-8) without the white space and line breaks at both ends: Unicode space
// separators, line and paragraph separators, tab, U+000A to U+000D and U+0085. Invalid
// UTF-8 is left where it stands.
std::string_view trimmedWhitespaceAndNewlines(std::string_view text);

}  // namespace deskplay
