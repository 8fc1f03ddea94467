#pragma once

#include <cstddef>
#include <string_view>

namespace deskplay {

enum class SlashEscaping { Plain, Backslashed };

// The index of the first byte of `text` that a JSON string cannot hold as it is: a double
// quote, a backslash, a control character (below 0x20), and "/" when slashes are escaped.
// text.size() when there is none. Eight bytes at a time, since journals run to 16 MiB.
std::size_t findJsonSpecialByte(std::string_view text, SlashEscaping slashes);

}  // namespace deskplay
