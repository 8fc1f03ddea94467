#pragma once

#include <string>
#include <string_view>

namespace deskplay {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// `text` with every byte that is not part of a valid sequence replaced by U+FFFD; for
// messages that quote untrusted input, never for data.
std::string replacingInvalidUtf8(std::string_view text);

}  // namespace deskplay
