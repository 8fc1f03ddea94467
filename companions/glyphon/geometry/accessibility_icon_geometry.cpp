#include "geometry/accessibility_icon_geometry.hpp"

#include "geometry/icon_positions.hpp"
#include "geometry/point_hits_file.hpp"

namespace deskplay::glyphon {

std::string AccessibilityIconGeometry::readDesktopIconPositions() {
  return glyphon::readDesktopIconPositions(accessibility_, windows_);
}

std::optional<platform::Point> AccessibilityIconGeometry::iconScreenCenter(std::string_view name) {
  return glyphon::iconScreenCenter(accessibility_, windows_, name);
}

bool AccessibilityIconGeometry::pointHitsFile(platform::Point point, std::string_view path) {
  return glyphon::pointHitsFile(accessibility_, windows_, point, path);
}

}  // namespace deskplay::glyphon
