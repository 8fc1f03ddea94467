#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/window_content.hpp"

namespace deskplay::simdesk {

// The pixels simdesk shows for a window whose application draws it: simdesk's own copy of
// the application's frames (premultiplied ARGB32, tightly packed, top row first), taken at
// each commit, so that a frame being drawn in the shared buffer never shows half done.
class WindowSurface {
 public:
  // A new size; cleared to transparent.
  void resize(int width, int height);
  // Copies the damaged rectangles, clipped to the surface, from an application's frame of
  // the surface's size. Gives the bounding rectangle of what was copied (empty: nothing).
  platform::PixelRect commit(const unsigned char* source, std::size_t stride,
                             const std::vector<platform::PixelRect>& damage);

  int width() const { return width_; }
  int height() const { return height_; }
  const std::uint32_t* pixels() const { return pixels_.data(); }
  std::uint32_t pixel(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
  }
  std::uint64_t commits() const { return commits_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  std::uint64_t commits_ = 0;
};

}  // namespace deskplay::simdesk
