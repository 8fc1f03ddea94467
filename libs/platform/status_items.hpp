#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/geometry.hpp"
#include "platform/image.hpp"
#include "platform/window_content.hpp"

namespace deskplay::platform {

// What a status item's button shows.
struct StatusItemAppearance {
  std::string title;
  // A template image: drawn in the menu bar's text colour, shown instead of the title.
  std::optional<Image> image;
  // Points; nothing: variable length, as wide as the title or image needs.
  std::optional<double> length;
  std::string accessibilityTitle;
};

// A mouse-down on a status item's button.
struct StatusItemClick {
  PointerButton button = PointerButton::left;
  std::uint64_t flags = 0;  // the event's modifier flags
  Point location;           // global, top-left origin
};

// Whether the owner takes a mouse-down on its button, or lets it pass to the menu bar (which
// lets the person drag the item with Command held).
enum class ClickVerdict { take, pass };

enum class Presence { removed, inserted };
enum class Highlight { off, on };

// One item in the menu bar's status area, on the right beside the clock.
class StatusItem {
 public:
  using MouseDownHandler = std::function<ClickVerdict(const StatusItemClick& click)>;
  using PresenceHandler = std::function<void(Presence presence)>;

  virtual ~StatusItem() = default;

  virtual void setAppearance(const StatusItemAppearance& appearance) = 0;
  virtual StatusItemAppearance appearance() const = 0;
  // Shows the item in the menu bar, or takes it out.
  virtual void setPresence(Presence presence) = 0;
  virtual Presence presence() const = 0;
  // The frame of the window that holds the button in the menu bar (bottom-left origin);
  // nothing while the item is not in the menu bar.
  virtual std::optional<Rect> buttonWindowFrame() = 0;
  virtual void setHighlight(Highlight highlight) = 0;
  virtual Highlight highlight() const = 0;
  // Without a handler, mouse-downs pass.
  virtual void setMouseDownHandler(MouseDownHandler handler) = 0;
  // Told when the person removes the item (dragging it out of the menu bar with Command).
  virtual void setPresenceHandler(PresenceHandler handler) = 0;
};

// The menu bar's status items (the system status bar).
// Main thread only; handlers are called on the main thread.
class StatusItems {
 public:
  virtual ~StatusItems() = default;

  // A new item, in the menu bar at once, left of the items made before it.
  virtual std::unique_ptr<StatusItem> createItem(const StatusItemAppearance& appearance) = 0;
};

}  // namespace deskplay::platform
