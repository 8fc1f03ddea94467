#pragma once

#include <string_view>

#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"
#include "platform/windows.hpp"

namespace deskplay::glyphon {

// How far up from the element under a point we look for the file it belongs to: an icon's
// label sits one level below the icon, so a few levels are plenty.
inline constexpr int kHitClimbLimit = 6;

// Whether the element at `point` belongs to Finder and stands for the file at `path`: the
// first of it and its ancestors (up to kHitClimbLimit elements) with a URL decides by the
// URL's path, or one with a file name by that name (the whole path or its last component).
bool pointHitsFile(platform::Accessibility& accessibility, platform::Windows& windows,
                   platform::Point point, std::string_view path);

}  // namespace deskplay::glyphon
