#pragma once

#include <string_view>

#include "platform/windows.hpp"

namespace deskplay::glyphon {

// The opaque colour of a hex text such as "#ff8800" or " FF8800 ": leading and trailing "#"
// and spaces are dropped, the rest read as an unsigned 32-bit hex number (an optional sign
// allowed) whose low three bytes are red, green and blue. Black for anything else.
platform::Color nsColorFromHex(std::string_view hex);

}  // namespace deskplay::glyphon
