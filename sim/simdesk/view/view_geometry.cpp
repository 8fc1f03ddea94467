#include "sim/simdesk/view/view_geometry.hpp"

#include <algorithm>

namespace deskplay::simdesk {

QRectF imageRectIn(const QSizeF& window, const QSizeF& image) {
  if (image.isEmpty() || window.isEmpty()) return {};
  const QSizeF fitted = image.scaled(window, Qt::KeepAspectRatio);
  return {QPointF((window.width() - fitted.width()) / 2, (window.height() - fitted.height()) / 2),
          fitted};
}

platform::Point screenPointAt(const QPointF& windowPoint, const QSizeF& window, const QSizeF& image,
                              platform::Point origin) {
  const QRectF shown = imageRectIn(window, image);
  if (shown.isEmpty()) return origin;
  const double scale = image.width() / shown.width();
  // The last whole point of each axis is the farthest the pointer goes.
  const double x = std::clamp((windowPoint.x() - shown.left()) * scale, 0.0, image.width() - 1);
  const double y = std::clamp((windowPoint.y() - shown.top()) * scale, 0.0, image.height() - 1);
  return {origin.x + x, origin.y + y};
}

}  // namespace deskplay::simdesk
