#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"

namespace deskplay::glyphon {

// Attributes of an element, each read as the type its callers expect: nothing (an empty list,
// or the empty string for the role) when the attribute is missing or holds another type.
std::vector<platform::AccessibilityElement> axChildren(platform::Accessibility& accessibility,
                                                       platform::AccessibilityElement element);
std::string axRole(platform::Accessibility& accessibility, platform::AccessibilityElement element);
std::optional<std::string> axFilename(platform::Accessibility& accessibility,
                                      platform::AccessibilityElement element);
std::optional<platform::Point> axPosition(platform::Accessibility& accessibility,
                                          platform::AccessibilityElement element);
std::optional<platform::Size> axSize(platform::Accessibility& accessibility,
                                     platform::AccessibilityElement element);
std::optional<platform::AccessibilityUrl> axUrl(platform::Accessibility& accessibility,
                                                platform::AccessibilityElement element);
std::optional<platform::AccessibilityElement> axParent(platform::Accessibility& accessibility,
                                                       platform::AccessibilityElement element);

}  // namespace deskplay::glyphon
