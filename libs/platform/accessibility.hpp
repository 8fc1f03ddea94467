#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/geometry.hpp"

namespace deskplay::platform {

using ProcessId = std::int32_t;

// One element of an application's accessibility tree. The handle is opaque: only the
// Accessibility implementation that gave it out reads it.
struct AccessibilityElement {
  std::uint64_t handle = 0;
  friend bool operator==(const AccessibilityElement&, const AccessibilityElement&) = default;
};

// A URL attribute value, as its absolute text ("file:///Users/…/Desktop/a.txt").
struct AccessibilityUrl {
  std::string text;
  friend bool operator==(const AccessibilityUrl&, const AccessibilityUrl&) = default;
};

// An attribute's value. std::monostate: the attribute is missing, or cannot be read.
using AttributeValue =
    std::variant<std::monostate, std::string, bool, double, Point, Size, AccessibilityUrl,
                 AccessibilityElement, std::vector<AccessibilityElement>>;

// The attribute names the programs read.
inline constexpr std::string_view kAXRole = "AXRole";
inline constexpr std::string_view kAXChildren = "AXChildren";
inline constexpr std::string_view kAXParent = "AXParent";
inline constexpr std::string_view kAXFilename = "AXFilename";
inline constexpr std::string_view kAXURL = "AXURL";
inline constexpr std::string_view kAXTitle = "AXTitle";
inline constexpr std::string_view kAXPosition = "AXPosition";  // top-left origin
inline constexpr std::string_view kAXSize = "AXSize";
inline constexpr std::string_view kAXMenuBarRole = "AXMenuBar";

// The accessibility interface: whether this process is trusted, applications' element
// trees, hit-testing of screen points, and element attributes.
// Call from the main thread; calls block while the target application answers and never
// call back. Failures (no permission, application gone) read as missing values.
class Accessibility {
 public:
  enum class Prompt { no, yes };

  virtual ~Accessibility() = default;

  // Whether the process is trusted; with Prompt::yes an untrusted process also makes the
  // system ask the user.
  virtual bool isProcessTrusted(Prompt prompt) = 0;
  // The top element of a running application.
  virtual std::optional<AccessibilityElement> applicationElement(ProcessId process) = 0;
  // The deepest element at a global point (top-left origin), through the window stack;
  // the coordinates travel as 32-bit floats, as the system-wide element takes them.
  virtual std::optional<AccessibilityElement> elementAtPoint(float x, float y) = 0;
  virtual AttributeValue attribute(AccessibilityElement element, std::string_view name) = 0;
  // The process that owns the element.
  virtual std::optional<ProcessId> processOf(AccessibilityElement element) = 0;
};

}  // namespace deskplay::platform
