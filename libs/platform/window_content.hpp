#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.hpp"

namespace deskplay::platform {

// A rectangle of a window's pixels: top-left origin, one pixel per point.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// One frame of a window's content: premultiplied ARGB32 pixels (one 32-bit word per pixel in
// the machine's byte order), the top row first, rows `stride` bytes apart.
struct PixelFrame {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  const unsigned char* pixels = nullptr;
};

enum class PointerButton { none, left, right };

// Input that the window server gives one of our content windows. Locations are in the
// window's own coordinates: points from the top left of its content.
struct WindowInput {
  enum class Kind {
    mouseDown,
    mouseUp,
    mouseDragged,
    mouseMoved,
    mouseEntered,
    mouseExited,
    scrollWheel,
    keyDown,
    keyUp,
  };
  Kind kind = Kind::mouseMoved;
  PointerButton button = PointerButton::none;
  std::uint64_t flags = 0;  // the event's modifier flags
  Point location;
  double scrollDeltaX = 0;  // points; positive to the right and up, as the wheel turns
  double scrollDeltaY = 0;
  std::int64_t keyCode = 0;  // the virtual key code of a key event
  std::string characters;
  std::string charactersIgnoringModifiers;
  friend bool operator==(const WindowInput&, const WindowInput&) = default;
};

enum class KeyState { resigned, became };

// One element of what a content window shows, for assistive tools and tests. Frames are in
// the window's own coordinates (top-left origin).
struct AccessibleNode {
  std::string role;  // "AXButton", "AXStaticText", "AXGroup", …
  std::string title;
  std::string value;
  bool enabled = true;
  Rect frame;
  std::vector<AccessibleNode> children;
  friend bool operator==(const AccessibleNode&, const AccessibleNode&) = default;
};

}  // namespace deskplay::platform
