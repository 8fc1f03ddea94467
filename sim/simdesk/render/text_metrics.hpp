#pragma once

#include <string_view>

#include <QFont>

#include "platform/windows.hpp"
#include "sim/simdesk/model/text_measure.hpp"

namespace deskplay::simdesk {

// DejaVu Sans, loaded from /usr/share/fonts/truetype/dejavu/ (fonts-dejavu-core) so that
// text measures and draws the same on every machine. Needs a QGuiApplication.
QFont desktopFont(double size, platform::FontWeight weight);
// Whether DejaVu Sans was loaded; without it the platform's default sans-serif is used.
bool desktopFontLoaded();

// The rendered width of `text` in points (the Windows port's textWidth).
double textWidth(std::string_view text, double size, platform::FontWeight weight);
// textWidth as the model's measure.
TextMeasure fontTextMeasure();

}  // namespace deskplay::simdesk
