#include "ui/hosting/frame_damage.hpp"

#include <gtest/gtest.h>

namespace deskplay::ui {
namespace {

using platform::PixelRect;

QImage filled(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  return image;
}

TEST(TakeDamagedRows, AFirstOrResizedFrameIsDamagedWhole) {
  QImage before;
  const QImage first = filled(8, 6);
  EXPECT_EQ(takeDamagedRows(first, before), (std::vector<PixelRect>{{0, 0, 8, 6}}));
  EXPECT_EQ(before, first);
  EXPECT_EQ(takeDamagedRows(filled(8, 9), before), (std::vector<PixelRect>{{0, 0, 8, 9}}));
}

TEST(TakeDamagedRows, GivesBandsOfChangedRowsAndCatchesUp) {
  QImage before;
  QImage now = filled(8, 10);
  (void)takeDamagedRows(now, before);
  EXPECT_TRUE(takeDamagedRows(now, before).empty());
  now.setPixel(3, 2, qRgb(0, 0, 0));
  now.setPixel(7, 3, qRgb(0, 0, 0));
  now.setPixel(0, 7, qRgb(0, 0, 0));
  EXPECT_EQ(takeDamagedRows(now, before), (std::vector<PixelRect>{{0, 2, 8, 2}, {0, 7, 8, 1}}));
  EXPECT_EQ(before, now);
  EXPECT_TRUE(takeDamagedRows(now, before).empty());
}

}  // namespace
}  // namespace deskplay::ui
