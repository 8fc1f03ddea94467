#pragma once

#include <mutex>
#include <vector>

#include "platform/geometry.hpp"

namespace deskplay::keyhark {

// Whether drags that start on Finder are captured, and where they may start. The command
// reader replaces the values while the tap callback reads them, so every access holds the
// lock; each change replaces a whole value.
class CaptureSettings {
 public:
  bool captureDesktopDrags() const;
  void setCaptureDesktopDrags(bool capture);
  // The rectangles now in force; empty means anywhere.
  std::vector<platform::Rect> captureRects() const;
  void setCaptureRects(std::vector<platform::Rect> rects);
  // True when there are no rectangles or one of them holds the point (far edges outside;
  // a rectangle with a negative width or height spans back from its origin).
  bool captureRectsContain(double x, double y) const;

 private:
  mutable std::mutex mutex_;
  bool captureDesktopDrags_ = false;
  std::vector<platform::Rect> captureRects_;
};

}  // namespace deskplay::keyhark
