#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/geometry.hpp"

namespace deskplay::glyphon {

// Where Finder really drew the desktop icons, as its accessibility tree tells, and whether
// Glyphon is posting a synthetic drag right now. Points are global, with the origin at the
// top left of the main display. Main thread only.
class IconGeometry {
 public:
  virtual ~IconGeometry() = default;

  // One line per icon, "name\tcentre x\tcentre y\twidth\theight" with whole numbers, lines
  // joined by newlines; empty when Finder is not running or shows nothing.
  virtual std::string readDesktopIconPositions() = 0;
  // The centre of the first icon named `name`, breadth first through Finder's tree.
  virtual std::optional<platform::Point> iconScreenCenter(std::string_view name) = 0;
  // Whether `point` lies on the icon of the file at `path`: Finder's element there (or one of
  // its nearest ancestors, such as the icon above a label) stands for that file.
  virtual bool pointHitsFile(platform::Point point, std::string_view path) = 0;
  // True only while a synthetic drag is being posted. Its events also carry
  // platform::kSyntheticPointerMarker, for listeners that see them after the drag.
  virtual bool synthesizingPointer() const = 0;
};

}  // namespace deskplay::glyphon
