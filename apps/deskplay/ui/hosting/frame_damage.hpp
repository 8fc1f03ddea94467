#pragma once

#include <QImage>
#include <vector>

#include "platform/window_content.hpp"

namespace deskplay::ui {

// The bands of whole rows in which `now` differs from `before`, top to bottom, and `before`
// brought up to date with them. Images of another size than `before` (or no `before` yet) are
// damaged whole, and `before` becomes a copy.
std::vector<platform::PixelRect> takeDamagedRows(const QImage& now, QImage& before);

}  // namespace deskplay::ui
