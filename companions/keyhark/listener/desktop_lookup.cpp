#include "listener/desktop_lookup.hpp"

#include <variant>

#include "common/url_path.hpp"
#include "platform/running_applications.hpp"

namespace deskplay::keyhark {

namespace {

using platform::AccessibilityElement;
using platform::AccessibilityUrl;
using platform::AttributeValue;

std::optional<std::string> pathOfUrlAttribute(const AttributeValue& value) {
  if (const auto* url = std::get_if<AccessibilityUrl>(&value)) return urlPath(url->text);
  if (const auto* text = std::get_if<std::string>(&value)) return urlPath(*text);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> DesktopLookup::fileUnderPoint(double x, double y) {
  std::optional<AccessibilityElement> element =
      accessibility_.elementAtPoint(static_cast<float>(x), static_cast<float>(y));
  for (int looked = 0; element && looked < kMaxElements; ++looked) {
    if (auto path = pathOfUrlAttribute(accessibility_.attribute(*element, platform::kAXURL))) {
      return path;
    }
    const AttributeValue filename = accessibility_.attribute(*element, platform::kAXFilename);
    if (const auto* name = std::get_if<std::string>(&filename)) return *name;
    const AttributeValue title = accessibility_.attribute(*element, platform::kAXTitle);
    if (const auto* text = std::get_if<std::string>(&title); text && !text->empty()) return *text;
    const AttributeValue parent = accessibility_.attribute(*element, platform::kAXParent);
    const auto* parentElement = std::get_if<AccessibilityElement>(&parent);
    if (parentElement == nullptr) return std::nullopt;
    element = *parentElement;
  }
  return std::nullopt;
}

bool DesktopLookup::isDesktopPoint(double x, double y) {
  const std::optional<AccessibilityElement> element =
      accessibility_.elementAtPoint(static_cast<float>(x), static_cast<float>(y));
  if (!element) return false;
  const std::optional<platform::ProcessId> owner = accessibility_.processOf(*element);
  return owner &&
         platform::isApplicationProcess(windows_, *owner, platform::kFinderBundleIdentifier);
}

}  // namespace deskplay::keyhark
