#pragma once

#include <functional>
#include <string_view>

#include "platform/windows.hpp"

namespace deskplay::simdesk {

// The rendered width of a text in points. simdesk measures with the renderer's fonts; the
// fallback estimate keeps the model usable without them.
using TextMeasure =
    std::function<double(std::string_view text, double size, platform::FontWeight weight)>;

// 0.6 × size per character (code point), a typical sans-serif average.
double estimatedTextWidth(std::string_view text, double size, platform::FontWeight weight);

}  // namespace deskplay::simdesk
