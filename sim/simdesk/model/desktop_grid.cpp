#include "sim/simdesk/model/desktop_grid.hpp"

#include <algorithm>
#include <cmath>

namespace deskplay::simdesk {

using platform::Point;

namespace {

double lineHeight(int textSize) { return std::round(textSize * 1.25); }

}  // namespace

DesktopGrid::DesktopGrid(const IconViewOptions& options, const platform::Rect& desktopArea)
    : area_(desktopArea) {
  const double icon = options.iconSize;
  const double lines = options.showsItemInfo ? 2 : 1;
  const double text = lineHeight(options.textSize) * lines;
  const double spacing = options.gridSpacing;
  if (options.labelPosition == LabelPosition::bottom) {
    cell_ = {icon + spacing, 4 + icon + 4 + text + spacing / 3};
    iconOffsetX_ = cell_.width / 2;
    iconOffsetY_ = 4 + icon / 2;
  } else {
    // Labels on the right get room for about nine characters.
    cell_ = {4 + icon + 6 + options.textSize * 9.0 + spacing / 3,
             std::max(icon, text) + 8 + spacing / 3};
    iconOffsetX_ = 4 + icon / 2;
    iconOffsetY_ = cell_.height / 2;
  }
  const double usable = area_.size.height - 2 * kMargin;
  rows_ = static_cast<std::size_t>(std::max(1.0, std::floor(usable / cell_.height)));
}

Point DesktopGrid::slotCentre(std::size_t slot) const {
  const auto column = static_cast<double>(slot / rows_);
  const auto row = static_cast<double>(slot % rows_);
  const double cellLeft = area_.maxX() - kMargin - (column + 1) * cell_.width;
  const double cellTop = area_.minY() + kMargin + row * cell_.height;
  return {cellLeft + iconOffsetX_, cellTop + iconOffsetY_};
}

std::size_t DesktopGrid::nearestSlot(Point point) const {
  const double column =
      std::round((area_.maxX() - kMargin + iconOffsetX_ - point.x) / cell_.width - 1);
  const double row = std::round((point.y - area_.minY() - kMargin - iconOffsetY_) / cell_.height);
  const double maxRow = static_cast<double>(rows_ - 1);
  const auto c = static_cast<std::size_t>(std::clamp(column, 0.0, 1e6));
  const auto r = static_cast<std::size_t>(std::clamp(row, 0.0, maxRow));
  return c * rows_ + r;
}

long long DesktopGrid::exactSlot(Point point) const {
  const std::size_t slot = nearestSlot(point);
  const Point centre = slotCentre(slot);
  if (std::abs(centre.x - point.x) < 0.5 && std::abs(centre.y - point.y) < 0.5) {
    return static_cast<long long>(slot);
  }
  return -1;
}

}  // namespace deskplay::simdesk
