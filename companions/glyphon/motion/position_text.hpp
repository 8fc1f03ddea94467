#pragma once

#include <optional>
#include <string_view>

#include "motion/position_motion.hpp"

namespace deskplay::glyphon {

// The centre of the icon named `name` in the desktop position text: the first line whose
// tab-separated fields (empty ones dropped) start with the name followed by two numbers.
std::optional<MotionPoint> iconPositionInText(std::string_view text, std::string_view name);

}  // namespace deskplay::glyphon
