#pragma once

#include <string_view>
#include <vector>

#include "common/result.hpp"
#include "platform/geometry.hpp"

namespace deskplay::simdesk::protocol {

// "WxH[,WxH…]" (positive whole points, the main screen first) or "none" for no display.
Result<std::vector<platform::Size>> parseScreenSizes(std::string_view text);

}  // namespace deskplay::simdesk::protocol
