#include "geometry/icon_positions.hpp"

#include <cmath>

#include "geometry/ax_attributes.hpp"
#include "geometry/finder_tree.hpp"
#include "protocol/whole_number_text.hpp"

namespace deskplay::glyphon {

namespace {

struct IconFrame {
  platform::Point position;
  platform::Size size;

  platform::Point centre() const {
    return {position.x + size.width * 0.5, position.y + size.height * 0.5};
  }
  // A frame with a coordinate that is no number gives neither a line nor a centre.
  bool finite() const {
    return std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(size.width) &&
           std::isfinite(size.height);
  }
};

std::optional<IconFrame> frameOf(platform::Accessibility& accessibility,
                                 platform::AccessibilityElement element) {
  const std::optional<platform::Point> position = axPosition(accessibility, element);
  if (!position) return std::nullopt;
  const std::optional<platform::Size> size = axSize(accessibility, element);
  if (!size) return std::nullopt;
  const IconFrame frame{*position, *size};
  if (!frame.finite()) return std::nullopt;
  return frame;
}

}  // namespace

std::string readDesktopIconPositions(platform::Accessibility& accessibility,
                                     platform::Windows& windows) {
  std::string text;
  walkFinderTree(accessibility, windows,
                 [&](platform::AccessibilityElement element, const std::string& filename) {
                   const std::optional<IconFrame> frame = frameOf(accessibility, element);
                   if (!frame) return WalkStep::next;
                   const platform::Point centre = frame->centre();
                   if (!text.empty()) text += '\n';
                   text += filename + '\t' + roundedIntegerText(centre.x) + '\t' +
                           roundedIntegerText(centre.y) + '\t' +
                           roundedIntegerText(frame->size.width) + '\t' +
                           roundedIntegerText(frame->size.height);
                   return WalkStep::next;
                 });
  return text;
}

std::optional<platform::Point> iconScreenCenter(platform::Accessibility& accessibility,
                                                platform::Windows& windows, std::string_view name) {
  std::optional<platform::Point> centre;
  walkFinderTree(accessibility, windows,
                 [&](platform::AccessibilityElement element, const std::string& filename) {
                   if (filename != name) return WalkStep::next;
                   const std::optional<IconFrame> frame = frameOf(accessibility, element);
                   if (!frame) return WalkStep::next;
                   centre = frame->centre();
                   return WalkStep::stop;
                 });
  return centre;
}

}  // namespace deskplay::glyphon
