#pragma once

namespace deskplay::platform {

// Points and rectangles in points, as the window system gives them. Which corner is the
// origin is said wherever one crosses a port: event and accessibility positions use the top
// left of the main display, window and screen frames the bottom left.
struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0;
  double height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  Point origin;
  Size size;
  friend bool operator==(const Rect&, const Rect&) = default;

  double minX() const { return origin.x; }
  double minY() const { return origin.y; }
  double maxX() const { return origin.x + size.width; }
  double maxY() const { return origin.y + size.height; }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  // Half-open, as the window system tests containment: the far edges are outside.
  bool contains(Point point) const {
    return point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
  }
  bool intersects(const Rect& other) const {
    return size.width > 0 && size.height > 0 && other.size.width > 0 && other.size.height > 0 &&
           minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY() &&
           other.minY() < maxY();
  }
};

}  // namespace deskplay::platform
