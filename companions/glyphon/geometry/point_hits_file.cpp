#include "geometry/point_hits_file.hpp"

#include <optional>
#include <string>

#include "common/url_path.hpp"
#include "geometry/ax_attributes.hpp"
#include "geometry/finder_tree.hpp"
#include "geometry/path_text.hpp"
#include "platform/running_applications.hpp"

namespace deskplay::glyphon {

bool pointHitsFile(platform::Accessibility& accessibility, platform::Windows& windows,
                   platform::Point point, std::string_view path) {
  std::optional<platform::AccessibilityElement> element =
      accessibility.elementAtPoint(static_cast<float>(point.x), static_cast<float>(point.y));
  if (!element) return false;
  const std::optional<platform::ProcessId> owner = accessibility.processOf(*element);
  if (!owner || !platform::isApplicationProcess(windows, *owner, platform::kFinderBundleIdentifier))
    return false;

  for (int looked = 0; looked < kHitClimbLimit; ++looked) {
    if (const std::optional<platform::AccessibilityUrl> url = axUrl(accessibility, *element)) {
      return urlPath(url->text) == path;
    }
    if (const std::optional<std::string> filename = axFilename(accessibility, *element)) {
      return *filename == path || *filename == lastPathComponent(path);
    }
    element = axParent(accessibility, *element);
    if (!element) return false;
  }
  return false;
}

}  // namespace deskplay::glyphon
