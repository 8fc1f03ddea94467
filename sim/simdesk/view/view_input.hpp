#pragma once

#include <functional>

#include "platform/event_taps.hpp"

namespace deskplay::simdesk {

// Where the live view sends the person's keyboard and mouse: the window server's hardware
// input. Locations are global points, top-left origin of the main display.
using ViewInput = std::function<void(const platform::Event& event)>;

}  // namespace deskplay::simdesk
