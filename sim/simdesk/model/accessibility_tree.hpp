#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/finder.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/status_bar.hpp"
#include "sim/simdesk/model/window_server.hpp"

namespace deskplay::simdesk {

// The accessibility trees of the running applications, built on demand from the model.
//
// Finder: AXApplication → AXMenuBar (→ AXMenuBarItem "Apple", "Finder", "File", …), one
// AXWindow per Finder window (→ AXScrollArea → an AXImage per entry), and the desktop, an
// AXScrollArea ("desktop") → one AXImage per icon carrying AXFilename, AXURL, AXTitle,
// AXPosition (top left of the icon) and AXSize, with one AXStaticText child for its label
// (AXValue = the shown name, AXParent = the icon). Other applications: AXApplication →
// AXMenuBar (frontmost only has items) and one AXWindow per window on screen; a content
// window holds the elements its application published for it (role, title, value, enabled,
// frame), which hit-testing finds through the window stack like any other.
//
// Handles stay valid while their element lives (an icon while its file stays on the
// Desktop and Finder runs); a dead handle reads as missing everywhere.
class AccessibilityTree {
 public:
  AccessibilityTree(Applications& applications, Finder& finder, WindowServer& windowServer,
                    Screens& screens);

  // The menu bar's status items, which their owners' trees hold as AXMenuBarItem elements
  // titled with their accessibility title; unset, there are none. Outlives the tree.
  void setStatusBar(const StatusBar* statusBar) { statusBar_ = statusBar; }

  std::optional<platform::AccessibilityElement> applicationElement(platform::ProcessId pid);
  // The deepest element at a top-left-origin point, through the window stack: the menu bar,
  // the Dock, windows front to back (those that ignore mouse events are transparent), then
  // Finder's desktop icons and labels, then the desktop itself.
  std::optional<platform::AccessibilityElement> elementAtPoint(platform::Point point);
  platform::AttributeValue attribute(platform::AccessibilityElement element, std::string_view name);
  // The names of the attributes an element has (for dumps).
  std::vector<std::string> attributeNames(platform::AccessibilityElement element);
  std::optional<platform::ProcessId> processOf(platform::AccessibilityElement element);

  // The first status item whose accessibility title is `title`, else the first enabled
  // published element titled so, through the windows front to back (only `pid`'s, when
  // given): its owner and its centre (top-left origin).
  struct Found {
    platform::ProcessId pid = 0;
    platform::Point centre;
  };
  std::optional<Found> findPublished(std::string_view title,
                                     std::optional<platform::ProcessId> pid);

 private:
  enum class Kind : std::uint8_t {
    application = 1,
    menuBar,
    menuBarItem,
    desktop,
    icon,
    label,
    window,
    windowScrollArea,
    windowEntry,
    dock,
    published,
    statusItem,
  };
  struct Decoded {
    Kind kind;
    std::uint64_t id;
  };
  static platform::AccessibilityElement make(Kind kind, std::uint64_t id);
  static std::optional<Decoded> decode(platform::AccessibilityElement element);
  bool alive(const Decoded& decoded);
  platform::AttributeValue applicationAttribute(platform::ProcessId pid, std::string_view name);
  platform::AttributeValue menuBarAttribute(platform::ProcessId pid, std::string_view name);
  platform::AttributeValue menuBarItemAttribute(std::uint64_t id, std::string_view name);
  platform::AttributeValue desktopAttribute(std::string_view name);
  platform::AttributeValue iconAttribute(std::uint64_t id, std::string_view name);
  platform::AttributeValue labelAttribute(std::uint64_t id, std::string_view name);
  platform::AttributeValue windowAttribute(std::uint32_t number, std::string_view name);
  platform::AttributeValue windowScrollAreaAttribute(std::uint32_t number, std::string_view name);
  platform::AttributeValue windowEntryAttribute(std::uint64_t id, std::string_view name);
  platform::AttributeValue dockAttribute(std::string_view name);
  platform::AttributeValue publishedAttribute(std::uint64_t id, std::string_view name);
  platform::AttributeValue statusItemAttribute(std::uint64_t id, std::string_view name);
  // A published element by its place: the window and its index in the tree's pre-order.
  struct PublishedPlace {
    const SimWindow* window = nullptr;
    const platform::AccessibleNode* node = nullptr;
    std::optional<std::size_t> parent;  // nothing: a root, whose parent is the window
    std::vector<std::size_t> children;
  };
  std::optional<PublishedPlace> publishedAt(std::uint64_t id) const;
  std::optional<platform::AccessibilityElement> publishedHit(const SimWindow& window,
                                                             platform::Point point) const;
  std::vector<std::string> menuTitles(platform::ProcessId pid) const;

  Applications& applications_;
  Finder& finder_;
  WindowServer& windowServer_;
  Screens& screens_;
  const StatusBar* statusBar_ = nullptr;
};

}  // namespace deskplay::simdesk
