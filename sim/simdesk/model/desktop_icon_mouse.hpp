#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/geometry.hpp"
#include "sim/simdesk/model/finder.hpp"

namespace deskplay::simdesk {

// Finder's handling of the mouse on the desktop: a press on an icon or its label selects that
// icon, a press on the bare desktop clears the selection, and a pressed icon that is dragged
// and let go moves to where it was dropped (keeping the point where it was grabbed), placed
// as Finder places any icon it is told to move. Main thread only.
class DesktopIconMouse {
 public:
  // How far a press must move before it becomes a drag (a smaller wobble is a click).
  static constexpr double kDragThreshold = 3.0;

  explicit DesktopIconMouse(Finder& finder) : finder_(finder) {}

  // A button went down at a top-left-origin point on the desktop.
  void press(platform::Point location);
  // The left button moved while held.
  void drag(platform::Point location);
  // The left button came up; a drag drops its icon here.
  void release(platform::Point location);

  // The selected desktop items, in the order they were selected; items that left the
  // desktop are no longer selected.
  std::vector<std::filesystem::path> selection();

 private:
  struct Press {
    std::uint64_t item = 0;
    platform::Point start;
    platform::Point grabOffset;  // from the icon's centre to the pressed point
    bool dragging = false;
  };

  Finder& finder_;
  std::vector<std::uint64_t> selected_;
  std::optional<Press> press_;
};

}  // namespace deskplay::simdesk
