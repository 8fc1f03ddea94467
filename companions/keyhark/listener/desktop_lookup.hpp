#pragma once

#include <optional>
#include <string>

#include "platform/accessibility.hpp"
#include "platform/windows.hpp"

namespace deskplay::keyhark {

// What lies under a screen point, asked of Accessibility: the file (or named element) there,
// and whether Finder owns it. Main thread only, as the ports are.
class DesktopLookup {
 public:
  static constexpr int kMaxElements = 6;

  DesktopLookup(platform::Accessibility& accessibility, platform::Windows& windows)
      : accessibility_(accessibility), windows_(windows) {}

  // The element at the point and up to five of its ancestors, nearest first: the first
  // one with a URL gives its path, else one with a file name gives that, else one with a
  // non-empty title gives the title. Nothing when none of them names anything.
  std::optional<std::string> fileUnderPoint(double x, double y);
  // True when the element at the point belongs to a running application with Finder's
  // bundle identifier (any Finder element, not only the desktop's).
  bool isDesktopPoint(double x, double y);

 private:
  platform::Accessibility& accessibility_;
  platform::Windows& windows_;
};

}  // namespace deskplay::keyhark
