#include "geometry/finder_tree.hpp"

#include <deque>

#include "geometry/ax_attributes.hpp"
#include "platform/running_applications.hpp"

namespace deskplay::glyphon {

void walkFinderTree(platform::Accessibility& accessibility, platform::Windows& windows,
                    const std::function<WalkStep(platform::AccessibilityElement,
                                                 const std::string& filename)>& visit) {
  const std::optional<platform::ProcessId> finder =
      platform::applicationProcess(windows, platform::kFinderBundleIdentifier);
  if (!finder) return;
  const std::optional<platform::AccessibilityElement> application =
      accessibility.applicationElement(*finder);
  if (!application) return;

  std::deque<platform::AccessibilityElement> queue;
  for (const platform::AccessibilityElement child : axChildren(accessibility, *application)) {
    if (axRole(accessibility, child) != platform::kAXMenuBarRole) queue.push_back(child);
  }
  std::size_t examined = 0;
  while (!queue.empty() && examined < kWalkElementLimit) {
    const platform::AccessibilityElement element = queue.front();
    queue.pop_front();
    ++examined;
    if (const std::optional<std::string> filename = axFilename(accessibility, element)) {
      if (visit(element, *filename) == WalkStep::stop) return;
      continue;
    }
    for (const platform::AccessibilityElement child : axChildren(accessibility, element)) {
      queue.push_back(child);
    }
  }
}

}  // namespace deskplay::glyphon
