#pragma once

#include <cstddef>

#include "platform/geometry.hpp"
#include "sim/simdesk/model/icon_view_options.hpp"

namespace deskplay::simdesk {

// The desktop's icon grid: cells sized by icon size, text size, label position and grid
// spacing, filled from the top right corner of the desktop area, down each column and then
// leftwards. Slot numbers count in that order; coordinates are top-left-origin points and a
// slot's point is the icon centre placed there.
class DesktopGrid {
 public:
  static constexpr double kMargin = 12;

  DesktopGrid(const IconViewOptions& options, const platform::Rect& desktopArea);

  platform::Size cellSize() const { return cell_; }
  std::size_t rows() const { return rows_; }
  platform::Point slotCentre(std::size_t slot) const;
  // The slot whose icon centre lies nearest to `point` (columns off the left edge count).
  std::size_t nearestSlot(platform::Point point) const;
  // The slot of `point` when it sits exactly on one, else nothing meaningful: -1.
  long long exactSlot(platform::Point point) const;

 private:
  platform::Rect area_;
  platform::Size cell_;
  std::size_t rows_ = 1;
  double iconOffsetX_ = 0;  // from the cell's left edge to the icon centre
  double iconOffsetY_ = 0;  // from the cell's top edge to the icon centre
};

}  // namespace deskplay::simdesk
