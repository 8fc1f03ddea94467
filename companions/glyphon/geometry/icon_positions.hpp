#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"
#include "platform/windows.hpp"

namespace deskplay::glyphon {

// Every desktop icon Finder's tree shows (icons in open Finder windows too), one line each,
// "name\tcentre x\tcentre y\twidth\theight", numbers rounded half away from zero, joined by
// newlines without a trailing one. Elements without a position or a size are left out. Empty
// when Finder is not running or shows nothing.
std::string readDesktopIconPositions(platform::Accessibility& accessibility,
                                     platform::Windows& windows);

// The unrounded centre of the first element named exactly `name`, breadth first.
std::optional<platform::Point> iconScreenCenter(platform::Accessibility& accessibility,
                                                platform::Windows& windows, std::string_view name);

}  // namespace deskplay::glyphon
