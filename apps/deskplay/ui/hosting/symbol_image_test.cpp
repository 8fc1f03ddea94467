#include "ui/hosting/symbol_image.hpp"

#include <gtest/gtest.h>

#include <QImage>

namespace deskplay::ui {
namespace {

TEST(SymbolTemplateImage, DrawsTheGlyphInBlackOnTransparent) {
  const auto image = symbolTemplateImage("gamecontroller.fill", 18);
  ASSERT_TRUE(image.ok()) << image.message();
  EXPECT_EQ(image.value().width, 18);
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(image.value().png.data(),
                                   static_cast<int>(image.value().png.size()), "PNG"));
  EXPECT_EQ(decoded.size(), QSize(18, 18));
  int inked = 0;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) {
      const QRgb pixel = decoded.pixel(x, y);
      if (qAlpha(pixel) == 0) continue;
      ++inked;
      EXPECT_EQ(qRed(pixel) | qGreen(pixel) | qBlue(pixel), 0) << "a template is black";
    }
  }
  EXPECT_GT(inked, 30) << "the glyph was drawn";
  EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
}

TEST(SymbolTemplateImage, AnUnknownSymbolIsAnError) {
  EXPECT_FALSE(symbolTemplateImage("no.such.symbol", 18).ok());
}

}  // namespace
}  // namespace deskplay::ui
