#include "geometry/finder_tree.hpp"

#include <deque>

#include "geometry/ax_attributes.hpp"

namespace deskplay::glyphon {

std::optional<platform::ProcessId> finderProcess(platform::Windows& windows) {
  for (const platform::RunningApplication& application : windows.runningApplications()) {
    if (application.bundleIdentifier == kFinderBundleIdentifier) return application.process;
  }
  return std::nullopt;
}

bool isFinderProcess(platform::Windows& windows, platform::ProcessId process) {
  for (const platform::RunningApplication& application : windows.runningApplications()) {
    if (application.process == process) {
      return application.bundleIdentifier == kFinderBundleIdentifier;
    }
  }
  return false;
}

void walkFinderTree(platform::Accessibility& accessibility, platform::Windows& windows,
                    const std::function<WalkStep(platform::AccessibilityElement,
                                                 const std::string& filename)>& visit) {
  const std::optional<platform::ProcessId> finder = finderProcess(windows);
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
