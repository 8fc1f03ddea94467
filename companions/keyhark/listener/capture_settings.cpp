#include "listener/capture_settings.hpp"

#include <algorithm>
#include <utility>

namespace deskplay::keyhark {

namespace {

// The same area with a width and height of at least zero.
platform::Rect standardized(platform::Rect rect) {
  if (rect.size.width < 0) {
    rect.origin.x += rect.size.width;
    rect.size.width = -rect.size.width;
  }
  if (rect.size.height < 0) {
    rect.origin.y += rect.size.height;
    rect.size.height = -rect.size.height;
  }
  return rect;
}

}  // namespace

bool CaptureSettings::captureDesktopDrags() const {
  std::lock_guard lock(mutex_);
  return captureDesktopDrags_;
}

void CaptureSettings::setCaptureDesktopDrags(bool capture) {
  std::lock_guard lock(mutex_);
  captureDesktopDrags_ = capture;
}

std::vector<platform::Rect> CaptureSettings::captureRects() const {
  std::lock_guard lock(mutex_);
  return captureRects_;
}

void CaptureSettings::setCaptureRects(std::vector<platform::Rect> rects) {
  std::lock_guard lock(mutex_);
  captureRects_ = std::move(rects);
}

bool CaptureSettings::captureRectsContain(double x, double y) const {
  std::lock_guard lock(mutex_);
  if (captureRects_.empty()) return true;
  return std::any_of(captureRects_.begin(), captureRects_.end(), [x, y](const auto& rect) {
    return standardized(rect).contains(platform::Point{x, y});
  });
}

}  // namespace deskplay::keyhark
