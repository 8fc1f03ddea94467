#pragma once

#include <vector>

#include "platform/geometry.hpp"
#include "platform/windows.hpp"

namespace deskplay::glyphon {

// A rectangle given by its top-left corner in global coordinates (origin at the top left of
// the main display, y down), as a window frame (origin at the bottom left, y up). The height
// of the flip is the top edge of the screen at the origin, else of the first screen; 0 with
// no screen at all.
platform::Rect appKitRect(const std::vector<platform::Screen>& screens, double topLeftX,
                          double topLeftY, double width, double height);

}  // namespace deskplay::glyphon
