#include "sim/simdesk/model/window_surface.hpp"

#include <algorithm>
#include <cstring>

namespace deskplay::simdesk {

void WindowSurface::resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
}

platform::PixelRect WindowSurface::commit(const unsigned char* source, std::size_t stride,
                                          const std::vector<platform::PixelRect>& damage) {
  ++commits_;
  int left = width_;
  int top = height_;
  int right = 0;
  int bottom = 0;
  for (const platform::PixelRect& rect : damage) {
    const int x0 = std::clamp(rect.x, 0, width_);
    const int y0 = std::clamp(rect.y, 0, height_);
    const int x1 = std::clamp(rect.x + std::max(rect.width, 0), 0, width_);
    const int y1 = std::clamp(rect.y + std::max(rect.height, 0), 0, height_);
    if (x0 >= x1 || y0 >= y1) continue;
    const auto bytes = static_cast<std::size_t>(x1 - x0) * 4;
    for (int y = y0; y < y1; ++y) {
      std::memcpy(&pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x0)],
                  source + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x0) * 4,
                  bytes);
    }
    left = std::min(left, x0);
    top = std::min(top, y0);
    right = std::max(right, x1);
    bottom = std::max(bottom, y1);
  }
  if (left >= right || top >= bottom) return {};
  return {left, top, right - left, bottom - top};
}

}  // namespace deskplay::simdesk
