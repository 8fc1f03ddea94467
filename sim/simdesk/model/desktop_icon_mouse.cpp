#include "sim/simdesk/model/desktop_icon_mouse.hpp"

#include <cmath>

namespace deskplay::simdesk {

void DesktopIconMouse::press(platform::Point location) {
  press_.reset();
  const DesktopItem* item = finder_.itemAt(location);
  if (item == nullptr) {
    selected_.clear();
    return;
  }
  selected_.assign(1, item->id);
  press_ =
      Press{item->id, location, {location.x - item->position.x, location.y - item->position.y}};
}

void DesktopIconMouse::drag(platform::Point location) {
  if (!press_ || press_->dragging) return;
  if (std::hypot(location.x - press_->start.x, location.y - press_->start.y) >= kDragThreshold) {
    press_->dragging = true;
  }
}

void DesktopIconMouse::release(platform::Point location) {
  drag(location);
  const std::optional<Press> press = press_;
  press_.reset();
  if (!press || !press->dragging) return;
  const DesktopItem* item = finder_.itemById(press->item);
  // The file may have left the desktop during the drag; then there is nothing to drop.
  if (item == nullptr) return;
  const std::filesystem::path path = finder_.desktopFolder() / item->name;
  (void)finder_.setDesktopPosition(
      path, {location.x - press->grabOffset.x, location.y - press->grabOffset.y});
}

std::vector<std::filesystem::path> DesktopIconMouse::selection() {
  std::vector<std::filesystem::path> paths;
  for (const std::uint64_t id : selected_) {
    if (const DesktopItem* item = finder_.itemById(id)) {
      paths.push_back(finder_.desktopFolder() / item->name);
    }
  }
  return paths;
}

}  // namespace deskplay::simdesk
