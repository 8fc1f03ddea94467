#pragma once

#include <string>
#include <vector>

#include "motion/position_motion.hpp"

namespace deskplay::glyphon {

// The one Finder script that puts every icon of `writes` at its rounded position.
std::string positionScript(const std::vector<MotionWrite>& writes);

// The "MOTION:" line reporting `written`, whose positions are already rounded.
std::string motionLine(const std::vector<MotionWrite>& written);

// The receipts as a JSON array, in the order given.
std::string receiptsJson(const std::vector<MotionReceipt>& receipts);

}  // namespace deskplay::glyphon
