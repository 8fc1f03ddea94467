#include "sim/simdesk/model/accessibility_tree.hpp"

#include <algorithm>

#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

using platform::AccessibilityElement;
using platform::AccessibilityUrl;
using platform::AttributeValue;
using platform::Point;
using platform::ProcessId;
using platform::Rect;
using platform::Size;

namespace {

constexpr int kKindShift = 56;
constexpr std::uint64_t kIdMask = (std::uint64_t{1} << kKindShift) - 1;
constexpr double kMenuFontSize = 13;
constexpr double kMenuPadding = 10;
constexpr double kFirstMenuX = 10;
// Window entries sit in a small icon grid inside the window's content.
constexpr double kEntryIcon = 64;
constexpr double kEntryCell = 96;
constexpr double kTitleBarHeight = 28;

std::vector<AccessibilityElement> one(AccessibilityElement element) {
  return {element};
}

// Published elements are numbered by window and pre-order index.
constexpr int kIndexBits = 20;
constexpr std::uint64_t kIndexMask = (std::uint64_t{1} << kIndexBits) - 1;

std::uint64_t publishedId(std::uint32_t window, std::size_t index) {
  return (static_cast<std::uint64_t>(window) << kIndexBits) | (index & kIndexMask);
}

// Every node of a published tree in pre-order, with its parent's index.
struct Flat {
  const platform::AccessibleNode* node;
  std::optional<std::size_t> parent;
};

void flatten(const std::vector<platform::AccessibleNode>& nodes, std::optional<std::size_t> parent,
             std::vector<Flat>& out) {
  for (const platform::AccessibleNode& node : nodes) {
    const std::size_t index = out.size();
    out.push_back({&node, parent});
    flatten(node.children, index, out);
  }
}

std::vector<Flat> flattened(const SimWindow& window) {
  std::vector<Flat> out;
  flatten(window.accessibility, std::nullopt, out);
  return out;
}

}  // namespace

AccessibilityTree::AccessibilityTree(Applications& applications, Finder& finder,
                                     WindowServer& windowServer, Screens& screens)
    : applications_(applications),
      finder_(finder),
      windowServer_(windowServer),
      screens_(screens) {}

AccessibilityElement AccessibilityTree::make(Kind kind, std::uint64_t id) {
  return AccessibilityElement{(static_cast<std::uint64_t>(kind) << kKindShift) | (id & kIdMask)};
}

std::optional<AccessibilityTree::Decoded> AccessibilityTree::decode(AccessibilityElement element) {
  const auto kind = static_cast<std::uint8_t>(element.handle >> kKindShift);
  if (kind < static_cast<std::uint8_t>(Kind::application) ||
      kind > static_cast<std::uint8_t>(Kind::statusItem)) {
    return std::nullopt;
  }
  return Decoded{static_cast<Kind>(kind), element.handle & kIdMask};
}

std::vector<std::string> AccessibilityTree::menuTitles(ProcessId pid) const {
  const Application* application = applications_.byPid(pid);
  if (application == nullptr) return {};
  return menuBarTitles(*application);
}

bool AccessibilityTree::alive(const Decoded& decoded) {
  switch (decoded.kind) {
    case Kind::application:
    case Kind::menuBar:
      return applications_.byPid(static_cast<ProcessId>(decoded.id)) != nullptr;
    case Kind::menuBarItem: {
      const auto pid = static_cast<ProcessId>(decoded.id >> 8);
      return (decoded.id & 0xFF) < menuTitles(pid).size();
    }
    case Kind::desktop:
      return finder_.isRunning() && decoded.id == static_cast<std::uint64_t>(finder_.launchCount());
    case Kind::icon:
    case Kind::label:
      return finder_.itemById(decoded.id) != nullptr;
    case Kind::window:
      return windowServer_.window(static_cast<std::uint32_t>(decoded.id)) != nullptr;
    case Kind::windowScrollArea:
      return finder_.windowByNumber(static_cast<std::uint32_t>(decoded.id)) != nullptr;
    case Kind::windowEntry:
      for (const FinderWindow& window : finder_.windows()) {
        if (!window.entries.empty() && decoded.id >= window.entries.front().id &&
            decoded.id <= window.entries.back().id) {
          return true;
        }
      }
      return false;
    case Kind::dock:
      return screens_.dockFrame().has_value();
    case Kind::published:
      return publishedAt(decoded.id).has_value();
    case Kind::statusItem:
      return statusBar_ != nullptr && statusBar_->item(decoded.id) != nullptr;
  }
  return false;
}

std::optional<AccessibilityElement> AccessibilityTree::applicationElement(ProcessId pid) {
  if (applications_.byPid(pid) == nullptr) return std::nullopt;
  return make(Kind::application, static_cast<std::uint64_t>(pid));
}

std::optional<ProcessId> AccessibilityTree::processOf(AccessibilityElement element) {
  auto decoded = decode(element);
  if (!decoded || !alive(*decoded)) return std::nullopt;
  switch (decoded->kind) {
    case Kind::application:
    case Kind::menuBar:
      return static_cast<ProcessId>(decoded->id);
    case Kind::menuBarItem:
      return static_cast<ProcessId>(decoded->id >> 8);
    case Kind::window: {
      const SimWindow* window = windowServer_.window(static_cast<std::uint32_t>(decoded->id));
      return window->owner;
    }
    case Kind::dock:
      return Applications::kDockPid;
    case Kind::published:
      return publishedAt(decoded->id)->window->owner;
    case Kind::statusItem:
      return statusBar_->item(decoded->id)->owner;
    case Kind::desktop:
    case Kind::icon:
    case Kind::label:
    case Kind::windowScrollArea:
    case Kind::windowEntry:
      return finder_.pid();
  }
  return std::nullopt;
}

AttributeValue AccessibilityTree::attribute(AccessibilityElement element, std::string_view name) {
  auto decoded = decode(element);
  if (!decoded || !alive(*decoded)) return std::monostate{};
  switch (decoded->kind) {
    case Kind::application:
      return applicationAttribute(static_cast<ProcessId>(decoded->id), name);
    case Kind::menuBar:
      return menuBarAttribute(static_cast<ProcessId>(decoded->id), name);
    case Kind::menuBarItem:
      return menuBarItemAttribute(decoded->id, name);
    case Kind::desktop:
      return desktopAttribute(name);
    case Kind::icon:
      return iconAttribute(decoded->id, name);
    case Kind::label:
      return labelAttribute(decoded->id, name);
    case Kind::window:
      return windowAttribute(static_cast<std::uint32_t>(decoded->id), name);
    case Kind::windowScrollArea:
      return windowScrollAreaAttribute(static_cast<std::uint32_t>(decoded->id), name);
    case Kind::windowEntry:
      return windowEntryAttribute(decoded->id, name);
    case Kind::dock:
      return dockAttribute(name);
    case Kind::published:
      return publishedAttribute(decoded->id, name);
    case Kind::statusItem:
      return statusItemAttribute(decoded->id, name);
  }
  return std::monostate{};
}

std::vector<std::string> AccessibilityTree::attributeNames(AccessibilityElement element) {
  static const std::vector<std::string> kCandidates{
      "AXRole",     "AXTitle", "AXDescription", "AXValue",    "AXFilename",  "AXURL",
      "AXPosition", "AXSize",  "AXParent",      "AXChildren", "AXFrontmost", "AXEnabled"};
  std::vector<std::string> names;
  for (const std::string& candidate : kCandidates) {
    if (!std::holds_alternative<std::monostate>(attribute(element, candidate))) {
      names.push_back(candidate);
    }
  }
  return names;
}

AttributeValue AccessibilityTree::applicationAttribute(ProcessId pid, std::string_view name) {
  const Application* application = applications_.byPid(pid);
  if (name == platform::kAXRole) return std::string("AXApplication");
  if (name == platform::kAXTitle) return application->name;
  if (name == "AXFrontmost") return applications_.frontmost() == pid;
  if (name == platform::kAXChildren) {
    std::vector<AccessibilityElement> children{
        make(Kind::menuBar, static_cast<std::uint64_t>(pid))};
    if (pid == Applications::kDockPid) {
      if (screens_.dockFrame()) children.push_back(make(Kind::dock, 0));
      return children;
    }
    for (const SimWindow* window : windowServer_.onScreenOrder()) {
      if (window->owner == pid) children.push_back(make(Kind::window, window->number));
    }
    if (statusBar_ != nullptr) {
      for (const StatusItem* item : statusBar_->items()) {
        if (item->owner == pid) children.push_back(make(Kind::statusItem, item->id));
      }
    }
    if (finder_.pid() == pid) {
      children.push_back(make(Kind::desktop, static_cast<std::uint64_t>(finder_.launchCount())));
    }
    return children;
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::menuBarAttribute(ProcessId pid, std::string_view name) {
  if (name == platform::kAXRole) return std::string(platform::kAXMenuBarRole);
  if (name == platform::kAXParent) return make(Kind::application, static_cast<std::uint64_t>(pid));
  if (name == platform::kAXChildren) {
    std::vector<AccessibilityElement> children;
    const std::size_t count = menuTitles(pid).size();
    for (std::size_t i = 0; i < count; ++i) {
      children.push_back(make(Kind::menuBarItem, (static_cast<std::uint64_t>(pid) << 8) | i));
    }
    return children;
  }
  if (auto frame = screens_.menuBarFrame()) {
    if (name == platform::kAXPosition) return frame->origin;
    if (name == platform::kAXSize) return frame->size;
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::menuBarItemAttribute(std::uint64_t id, std::string_view name) {
  const auto pid = static_cast<ProcessId>(id >> 8);
  const std::size_t index = id & 0xFF;
  const std::vector<std::string> titles = menuTitles(pid);
  if (name == platform::kAXRole) return std::string("AXMenuBarItem");
  if (name == platform::kAXTitle) return titles[index];
  if (name == platform::kAXParent) return make(Kind::menuBar, static_cast<std::uint64_t>(pid));
  if (name == platform::kAXChildren) return std::vector<AccessibilityElement>{};
  double x = kFirstMenuX;
  for (std::size_t i = 0; i < index; ++i) {
    x += finder_.measure()(titles[i], kMenuFontSize, platform::FontWeight::regular) +
         2 * kMenuPadding;
  }
  const double width =
      finder_.measure()(titles[index], kMenuFontSize, platform::FontWeight::regular) +
      2 * kMenuPadding;
  if (name == platform::kAXPosition) return Point{x, 0};
  if (name == platform::kAXSize) return Size{width, Screens::kMenuBarHeight};
  return std::monostate{};
}

AttributeValue AccessibilityTree::desktopAttribute(std::string_view name) {
  if (name == platform::kAXRole) return std::string("AXScrollArea");
  if (name == "AXDescription") return std::string("desktop");
  if (name == platform::kAXParent) {
    return make(Kind::application, static_cast<std::uint64_t>(*finder_.pid()));
  }
  if (name == platform::kAXChildren) {
    const auto& items = finder_.items();
    std::vector<AccessibilityElement> children;
    children.reserve(items.size());
    for (const auto& [id, item] : items) children.push_back(make(Kind::icon, id));
    return children;
  }
  Rect bounds{{0, 0}, {0, 0}};
  double right = 0;
  double bottom = 0;
  for (const platform::Screen& screen : screens_.screens()) {
    const Rect frame = screens_.toTopLeft(screen.frame);
    bounds.origin.x = std::min(bounds.origin.x, frame.minX());
    bounds.origin.y = std::min(bounds.origin.y, frame.minY());
    right = std::max(right, frame.maxX());
    bottom = std::max(bottom, frame.maxY());
  }
  bounds.size = {right - bounds.origin.x, bottom - bounds.origin.y};
  if (name == platform::kAXPosition) return bounds.origin;
  if (name == platform::kAXSize) return bounds.size;
  return std::monostate{};
}

AttributeValue AccessibilityTree::iconAttribute(std::uint64_t id, std::string_view name) {
  const DesktopItem& item = *finder_.itemById(id);
  if (name == platform::kAXRole) return std::string("AXImage");
  if (name == platform::kAXFilename) return item.name;
  if (name == platform::kAXTitle) return item.displayName();
  if (name == platform::kAXURL) return AccessibilityUrl{item.fileUrl()};
  if (name == platform::kAXPosition) return finder_.iconFrame(item).origin;
  if (name == platform::kAXSize) return finder_.iconFrame(item).size;
  if (name == platform::kAXParent) {
    return make(Kind::desktop, static_cast<std::uint64_t>(finder_.launchCount()));
  }
  if (name == platform::kAXChildren) return one(make(Kind::label, id));
  return std::monostate{};
}

AttributeValue AccessibilityTree::labelAttribute(std::uint64_t id, std::string_view name) {
  const DesktopItem& item = *finder_.itemById(id);
  if (name == platform::kAXRole) return std::string("AXStaticText");
  if (name == "AXValue") return item.displayName();
  if (name == platform::kAXParent) return make(Kind::icon, id);
  if (name == platform::kAXChildren) return std::vector<AccessibilityElement>{};
  if (name == platform::kAXPosition) return finder_.labelFrame(item).origin;
  if (name == platform::kAXSize) return finder_.labelFrame(item).size;
  return std::monostate{};
}

AttributeValue AccessibilityTree::windowAttribute(std::uint32_t number, std::string_view name) {
  const SimWindow& window = *windowServer_.window(number);
  const Rect frame = screens_.toTopLeft(window.frame);
  if (name == platform::kAXRole) return std::string("AXWindow");
  if (name == platform::kAXTitle) return window.title;
  if (name == platform::kAXPosition) return frame.origin;
  if (name == platform::kAXSize) return frame.size;
  if (name == platform::kAXParent) {
    return make(Kind::application, static_cast<std::uint64_t>(window.owner));
  }
  if (name == platform::kAXChildren) {
    if (window.role == WindowRole::finderWindow) return one(make(Kind::windowScrollArea, number));
    std::vector<AccessibilityElement> roots;
    const std::vector<Flat> nodes = flattened(window);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (!nodes[i].parent) roots.push_back(make(Kind::published, publishedId(number, i)));
    }
    return roots;
  }
  if (name == "AXDescription" && window.role == WindowRole::statusPanel) {
    return window.statusContent.accessibilityLabel;
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::windowScrollAreaAttribute(std::uint32_t number,
                                                            std::string_view name) {
  const FinderWindow* found = finder_.windowByNumber(number);
  if (found == nullptr) return std::monostate{};
  const FinderWindow& window = *found;
  if (name == platform::kAXRole) return std::string("AXScrollArea");
  if (name == platform::kAXParent) return make(Kind::window, number);
  if (name == platform::kAXChildren) {
    std::vector<AccessibilityElement> children;
    children.reserve(window.entries.size());
    for (const auto& entry : window.entries) children.push_back(make(Kind::windowEntry, entry.id));
    return children;
  }
  if (const SimWindow* frame = windowServer_.window(number)) {
    Rect content = screens_.toTopLeft(frame->frame);
    content.origin.y += kTitleBarHeight;
    content.size.height = std::max(0.0, content.size.height - kTitleBarHeight);
    if (name == platform::kAXPosition) return content.origin;
    if (name == platform::kAXSize) return content.size;
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::windowEntryAttribute(std::uint64_t id, std::string_view name) {
  for (const FinderWindow& window : finder_.windows()) {
    if (window.entries.empty() || id < window.entries.front().id || id > window.entries.back().id) {
      continue;
    }
    const std::size_t index = id - window.entries.front().id;
    const FinderWindow::Entry& entry = window.entries[index];
    if (name == platform::kAXRole) return std::string("AXImage");
    if (name == platform::kAXFilename) return entry.name;
    if (name == platform::kAXTitle) return entry.name;
    if (name == platform::kAXURL) return AccessibilityUrl{fileUrlForPath(entry.path, entry.folder)};
    if (name == platform::kAXParent) return make(Kind::windowScrollArea, window.number);
    if (name == platform::kAXChildren) return std::vector<AccessibilityElement>{};
    const SimWindow* frame = windowServer_.window(window.number);
    if (frame == nullptr) return std::monostate{};
    const Rect content = screens_.toTopLeft(frame->frame);
    const auto columns = static_cast<std::size_t>(std::max(1.0, content.size.width / kEntryCell));
    const double x = content.minX() + static_cast<double>(index % columns) * kEntryCell +
                     (kEntryCell - kEntryIcon) / 2;
    const double y =
        content.minY() + kTitleBarHeight + static_cast<double>(index / columns) * kEntryCell + 8;
    if (name == platform::kAXPosition) return Point{x, y};
    if (name == platform::kAXSize) return Size{kEntryIcon, kEntryIcon};
    return std::monostate{};
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::dockAttribute(std::string_view name) {
  const Rect frame = *screens_.dockFrame();
  if (name == platform::kAXRole) return std::string("AXList");
  if (name == "AXDescription") return std::string("Dock");
  if (name == platform::kAXParent) {
    return make(Kind::application, static_cast<std::uint64_t>(Applications::kDockPid));
  }
  if (name == platform::kAXChildren) return std::vector<AccessibilityElement>{};
  if (name == platform::kAXPosition) return frame.origin;
  if (name == platform::kAXSize) return frame.size;
  return std::monostate{};
}

std::optional<AccessibilityTree::PublishedPlace> AccessibilityTree::publishedAt(
    std::uint64_t id) const {
  const SimWindow* window = windowServer_.window(static_cast<std::uint32_t>(id >> kIndexBits));
  if (window == nullptr) return std::nullopt;
  const std::vector<Flat> nodes = flattened(*window);
  const std::size_t index = id & kIndexMask;
  if (index >= nodes.size()) return std::nullopt;
  PublishedPlace place{window, nodes[index].node, nodes[index].parent, {}};
  for (std::size_t i = index + 1; i < nodes.size(); ++i) {
    if (nodes[i].parent == index) place.children.push_back(i);
  }
  return place;
}

AttributeValue AccessibilityTree::publishedAttribute(std::uint64_t id, std::string_view name) {
  const auto place = publishedAt(id);
  const platform::AccessibleNode& node = *place->node;
  const std::uint32_t number = place->window->number;
  const Rect window = screens_.toTopLeft(place->window->frame);
  if (name == platform::kAXRole) return node.role;
  if (name == platform::kAXTitle) return node.title;
  if (name == "AXValue" && !node.value.empty()) return node.value;
  if (name == "AXEnabled") return node.enabled;
  if (name == platform::kAXPosition) {
    return Point{window.minX() + node.frame.minX(), window.minY() + node.frame.minY()};
  }
  if (name == platform::kAXSize) return node.frame.size;
  if (name == platform::kAXParent) {
    if (place->parent) return make(Kind::published, publishedId(number, *place->parent));
    return make(Kind::window, number);
  }
  if (name == platform::kAXChildren) {
    std::vector<AccessibilityElement> children;
    for (const std::size_t child : place->children) {
      children.push_back(make(Kind::published, publishedId(number, child)));
    }
    return children;
  }
  return std::monostate{};
}

AttributeValue AccessibilityTree::statusItemAttribute(std::uint64_t id, std::string_view name) {
  const StatusItem& item = *statusBar_->item(id);
  if (name == platform::kAXRole) return std::string("AXMenuBarItem");
  if (name == platform::kAXTitle) {
    return item.look.accessibilityTitle.empty() ? item.look.title : item.look.accessibilityTitle;
  }
  if (name == platform::kAXParent) {
    return make(Kind::application, static_cast<std::uint64_t>(item.owner));
  }
  if (name == platform::kAXChildren) return std::vector<AccessibilityElement>{};
  if (name == platform::kAXPosition) return item.frame.origin;
  if (name == platform::kAXSize) return item.frame.size;
  return std::monostate{};
}

std::optional<AccessibilityElement> AccessibilityTree::publishedHit(const SimWindow& window,
                                                                    Point point) const {
  const Rect frame = screens_.toTopLeft(window.frame);
  const Point local{point.x - frame.minX(), point.y - frame.minY()};
  const std::vector<Flat> nodes = flattened(window);
  // Down from the roots to the deepest element that holds the point; among siblings the
  // later one, drawn on top.
  std::optional<std::size_t> hit;
  while (true) {
    std::optional<std::size_t> next;
    for (std::size_t i = hit ? *hit + 1 : 0; i < nodes.size(); ++i) {
      if (nodes[i].parent == hit && nodes[i].node->frame.contains(local)) next = i;
    }
    if (!next) break;
    hit = next;
  }
  if (!hit) return std::nullopt;
  return make(Kind::published, publishedId(window.number, *hit));
}

std::optional<AccessibilityTree::Found> AccessibilityTree::findPublished(
    std::string_view title, std::optional<ProcessId> pid) {
  if (statusBar_ != nullptr && screens_.menuBarFrame()) {
    for (const StatusItem* item : statusBar_->items()) {
      if (pid && item->owner != *pid) continue;
      const std::string& itemTitle =
          item->look.accessibilityTitle.empty() ? item->look.title : item->look.accessibilityTitle;
      if (itemTitle != title) continue;
      return Found{item->owner,
                   {item->frame.minX() + item->frame.size.width / 2,
                    item->frame.minY() + item->frame.size.height / 2}};
    }
  }
  for (const SimWindow* window : windowServer_.onScreenOrder()) {
    if (pid && window->owner != *pid) continue;
    const Rect frame = screens_.toTopLeft(window->frame);
    for (const Flat& flat : flattened(*window)) {
      if (flat.node->title != title || !flat.node->enabled) continue;
      const Rect node = flat.node->frame;
      return Found{window->owner,
                   {frame.minX() + node.minX() + node.size.width / 2,
                    frame.minY() + node.minY() + node.size.height / 2}};
    }
  }
  return std::nullopt;
}

std::optional<AccessibilityElement> AccessibilityTree::elementAtPoint(Point point) {
  const auto all = screens_.screens();
  if (std::none_of(all.begin(), all.end(), [&](const platform::Screen& screen) {
        return screens_.toTopLeft(screen.frame).contains(point);
      })) {
    return std::nullopt;
  }
  const auto menuBar = screens_.menuBarFrame();
  const auto dock = screens_.dockFrame();
  auto menuBarHit = [&]() -> std::optional<AccessibilityElement> {
    if (statusBar_ != nullptr) {
      if (const StatusItem* item = statusBar_->itemAt(point))
        return make(Kind::statusItem, item->id);
    }
    const auto front = applications_.frontmost();
    if (!front) return std::nullopt;
    const auto pid = static_cast<std::uint64_t>(*front);
    const std::size_t count = menuTitles(*front).size();
    for (std::size_t i = 0; i < count; ++i) {
      const AccessibilityElement item = make(Kind::menuBarItem, (pid << 8) | i);
      const auto position = std::get<Point>(menuBarItemAttribute((pid << 8) | i, "AXPosition"));
      const auto size = std::get<Size>(menuBarItemAttribute((pid << 8) | i, "AXSize"));
      if (Rect{position, size}.contains(point)) return item;
    }
    return make(Kind::menuBar, pid);
  };
  bool menuBarChecked = false;
  bool dockChecked = false;
  auto systemLayersAbove = [&](int level) -> std::optional<AccessibilityElement> {
    if (!menuBarChecked && level < levels::mainMenu) {
      menuBarChecked = true;
      if (menuBar && menuBar->contains(point)) return menuBarHit();
    }
    if (!dockChecked && level < levels::dock) {
      dockChecked = true;
      if (dock && dock->contains(point)) return make(Kind::dock, 0);
    }
    return std::nullopt;
  };
  bool desktopChecked = false;
  auto desktopHit = [&]() -> std::optional<AccessibilityElement> {
    desktopChecked = true;
    if (!finder_.isRunning()) return std::nullopt;
    if (const DesktopItem* item = finder_.itemAt(point)) {
      if (finder_.iconFrame(*item).contains(point)) return make(Kind::icon, item->id);
      return make(Kind::label, item->id);
    }
    return std::nullopt;
  };

  for (const SimWindow* window : windowServer_.onScreenOrder()) {
    if (auto hit = systemLayersAbove(window->traits.level)) return hit;
    if (!desktopChecked && window->traits.level < levels::desktopIcon) {
      if (auto hit = desktopHit()) return hit;
    }
    // Click-through windows are invisible to hit-testing.
    if (window->traits.ignoresMouseEvents) continue;
    if (!screens_.toTopLeft(window->frame).contains(point)) continue;
    if (window->role == WindowRole::finderWindow) {
      auto area = windowScrollAreaAttribute(window->number, "AXChildren");
      if (auto* entries = std::get_if<std::vector<AccessibilityElement>>(&area)) {
        for (const AccessibilityElement& entry : *entries) {
          const auto decoded = decode(entry);
          const auto position = windowEntryAttribute(decoded->id, "AXPosition");
          const auto size = windowEntryAttribute(decoded->id, "AXSize");
          if (std::holds_alternative<Point>(position) &&
              Rect{std::get<Point>(position), std::get<Size>(size)}.contains(point)) {
            return entry;
          }
        }
      }
    }
    if (window->role == WindowRole::content) {
      if (auto hit = publishedHit(*window, point)) return hit;
    }
    return make(Kind::window, window->number);
  }
  if (auto hit = systemLayersAbove(levels::desktopIcon)) return hit;
  if (!desktopChecked) {
    if (auto hit = desktopHit()) return hit;
  }
  if (finder_.isRunning()) {
    return make(Kind::desktop, static_cast<std::uint64_t>(finder_.launchCount()));
  }
  return std::nullopt;
}

}  // namespace deskplay::simdesk
