#pragma once

#include <string_view>

namespace deskplay {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

}  // namespace deskplay
