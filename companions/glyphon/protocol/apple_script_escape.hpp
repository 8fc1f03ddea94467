#pragma once

#include <string>
#include <string_view>

namespace deskplay::glyphon {

// `text` made safe inside an AppleScript string literal: backslashes doubled, then double
// quotes escaped.
std::string escapeAppleScript(std::string_view text);

}  // namespace deskplay::glyphon
