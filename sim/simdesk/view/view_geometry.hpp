#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "platform/geometry.hpp"

namespace deskplay::simdesk {

// Where the screen image shows in a window: scaled to fit, aspect kept, centred.
QRectF imageRectIn(const QSizeF& window, const QSizeF& image);

// The global screen point under a window point, `origin` being the global point at the
// image's top-left corner. Points beside the image are taken to its nearest edge, as the
// pointer cannot leave the screens.
platform::Point screenPointAt(const QPointF& windowPoint, const QSizeF& window, const QSizeF& image,
                              platform::Point origin);

}  // namespace deskplay::simdesk
