#pragma once

#include <string>

#include "geometry/finder_tree.hpp"
#include "platform/running_applications.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::glyphon::testing {

// Finder running with an accessibility tree the test grows: groups, icons with a file name,
// a URL, a frame and a label child, placed on screen for hit-testing.
struct FakeFinderTree {
  static constexpr platform::ProcessId kFinderProcess = 301;

  FakeFinderTree() {
    windows.setRunningApplications(
        {{kFinderProcess, std::string(platform::kFinderBundleIdentifier), "Finder"}});
    application = accessibility.addApplication(kFinderProcess);
  }

  platform::AccessibilityElement group(platform::AccessibilityElement parent,
                                       const std::string& role = "AXGroup") {
    const platform::AccessibilityElement element =
        accessibility.addElement(kFinderProcess, {{"AXRole", role}});
    accessibility.setParent(element, parent);
    return element;
  }

  // An icon of `filename` with its top-left corner at `position`, placed for hit-testing.
  platform::AccessibilityElement icon(platform::AccessibilityElement parent,
                                      const std::string& filename, platform::Point position,
                                      platform::Size size = {64, 64}) {
    const platform::AccessibilityElement element =
        accessibility.addElement(kFinderProcess, {{"AXRole", std::string("AXImage")},
                                                  {"AXFilename", filename},
                                                  {"AXPosition", position},
                                                  {"AXSize", size}});
    accessibility.setParent(element, parent);
    accessibility.placeElement(element, {position, size});
    return element;
  }

  // A label under `icon`, placed below it and hit before it.
  platform::AccessibilityElement label(platform::AccessibilityElement icon, platform::Rect area) {
    const platform::AccessibilityElement element =
        accessibility.addElement(kFinderProcess, {{"AXRole", std::string("AXStaticText")},
                                                  {"AXPosition", area.origin},
                                                  {"AXSize", area.size}});
    accessibility.setParent(element, icon);
    accessibility.placeElement(element, area);
    return element;
  }

  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakeWindows windows;
  platform::AccessibilityElement application;
};

}  // namespace deskplay::glyphon::testing
