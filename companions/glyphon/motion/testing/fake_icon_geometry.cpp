#include "motion/testing/fake_icon_geometry.hpp"

#include "motion/position_text.hpp"

namespace deskplay::glyphon::testing {

std::optional<platform::Point> FakeIconGeometry::iconScreenCenter(std::string_view name) {
  const std::optional<MotionPoint> center = iconPositionInText(positionText_, name);
  if (!center) return std::nullopt;
  return platform::Point{center->x, center->y};
}

bool FakeIconGeometry::pointHitsFile(platform::Point point, std::string_view path) {
  hitQueries_.emplace_back(path);
  const auto box = boxes_.find(path);
  return box != boxes_.end() && box->second.contains(point);
}

}  // namespace deskplay::glyphon::testing
