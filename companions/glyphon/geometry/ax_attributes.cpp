#include "geometry/ax_attributes.hpp"

#include <variant>

namespace deskplay::glyphon {

namespace {

template <class T>
std::optional<T> read(platform::Accessibility& accessibility,
                      platform::AccessibilityElement element, std::string_view name) {
  platform::AttributeValue value = accessibility.attribute(element, name);
  if (T* typed = std::get_if<T>(&value)) return std::move(*typed);
  return std::nullopt;
}

}  // namespace

std::vector<platform::AccessibilityElement> axChildren(platform::Accessibility& accessibility,
                                                       platform::AccessibilityElement element) {
  return read<std::vector<platform::AccessibilityElement>>(accessibility, element,
                                                           platform::kAXChildren)
      .value_or(std::vector<platform::AccessibilityElement>{});
}

std::string axRole(platform::Accessibility& accessibility, platform::AccessibilityElement element) {
  return read<std::string>(accessibility, element, platform::kAXRole).value_or("");
}

std::optional<std::string> axFilename(platform::Accessibility& accessibility,
                                      platform::AccessibilityElement element) {
  return read<std::string>(accessibility, element, platform::kAXFilename);
}

std::optional<platform::Point> axPosition(platform::Accessibility& accessibility,
                                          platform::AccessibilityElement element) {
  return read<platform::Point>(accessibility, element, platform::kAXPosition);
}

std::optional<platform::Size> axSize(platform::Accessibility& accessibility,
                                     platform::AccessibilityElement element) {
  return read<platform::Size>(accessibility, element, platform::kAXSize);
}

std::optional<platform::AccessibilityUrl> axUrl(platform::Accessibility& accessibility,
                                                platform::AccessibilityElement element) {
  return read<platform::AccessibilityUrl>(accessibility, element, platform::kAXURL);
}

std::optional<platform::AccessibilityElement> axParent(platform::Accessibility& accessibility,
                                                       platform::AccessibilityElement element) {
  return read<platform::AccessibilityElement>(accessibility, element, platform::kAXParent);
}

}  // namespace deskplay::glyphon
