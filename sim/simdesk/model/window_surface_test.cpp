#include "sim/simdesk/model/window_surface.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace deskplay::simdesk {
namespace {

using platform::PixelRect;

// A client frame of 8 × 4 pixels with a wider stride, every pixel its own value.
struct ClientFrame {
  static constexpr int kWidth = 8;
  static constexpr int kHeight = 4;
  static constexpr std::size_t kStride = 40;
  std::vector<unsigned char> bytes = std::vector<unsigned char>(kStride * kHeight, 0);

  void set(int x, int y, std::uint32_t value) {
    std::memcpy(&bytes[static_cast<std::size_t>(y) * kStride + static_cast<std::size_t>(x) * 4],
                &value, 4);
  }
  void fill(std::uint32_t value) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) set(x, y, value);
    }
  }
};

TEST(WindowSurfaceTest, OnlyDamagedPixelsAreTakenClippedToTheSurface) {
  WindowSurface surface;
  surface.resize(ClientFrame::kWidth, ClientFrame::kHeight);
  ClientFrame frame;
  frame.fill(0xFF0000FF);
  EXPECT_EQ(surface.commit(frame.bytes.data(), ClientFrame::kStride, {{2, 1, 3, 2}}),
            (PixelRect{2, 1, 3, 2}));
  EXPECT_EQ(surface.pixel(2, 1), 0xFF0000FFu);
  EXPECT_EQ(surface.pixel(4, 2), 0xFF0000FFu);
  EXPECT_EQ(surface.pixel(1, 1), 0u) << "outside the damage the old pixels stay";
  EXPECT_EQ(surface.pixel(5, 1), 0u);

  // The client draws again without saying so: nothing shows until it is damaged.
  frame.fill(0x80008000);
  EXPECT_EQ(surface.commit(frame.bytes.data(), ClientFrame::kStride, {}), PixelRect{});
  EXPECT_EQ(surface.pixel(2, 1), 0xFF0000FFu);

  // Damage beyond the edges, and negative sizes, are clipped rather than read.
  EXPECT_EQ(surface.commit(frame.bytes.data(), ClientFrame::kStride,
                           {{-5, -5, 7, 6}, {6, 3, 100, 100}, {1, 1, -4, 2}}),
            (PixelRect{0, 0, 8, 4}));
  EXPECT_EQ(surface.pixel(0, 0), 0x80008000u);
  EXPECT_EQ(surface.pixel(7, 3), 0x80008000u);
  EXPECT_EQ(surface.pixel(3, 2), 0xFF0000FFu);
  EXPECT_EQ(surface.commits(), 3u);
}

TEST(WindowSurfaceTest, ANewSizeStartsTransparent) {
  WindowSurface surface;
  surface.resize(2, 2);
  ClientFrame frame;
  frame.fill(0xFFFFFFFF);
  surface.commit(frame.bytes.data(), ClientFrame::kStride, {{0, 0, 2, 2}});
  surface.resize(3, 1);
  EXPECT_EQ(surface.width(), 3);
  EXPECT_EQ(surface.pixel(0, 0), 0u);
}

}  // namespace
}  // namespace deskplay::simdesk
