#include "sim/simdesk/render/text_metrics.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using platform::FontWeight;

TEST(TextMetricsTest, DejaVuSansIsLoaded) {
  EXPECT_TRUE(desktopFontLoaded());
  EXPECT_EQ(desktopFont(12, FontWeight::regular).family().toStdString(), "DejaVu Sans");
}

TEST(TextMetricsTest, WidthsScaleWithSizeAndWeight) {
  const double regular = textWidth("Loading", 22, FontWeight::regular);
  const double semibold = textWidth("Loading", 22, FontWeight::semibold);
  EXPECT_GT(regular, 50);
  EXPECT_LT(regular, 120);
  EXPECT_GT(semibold, regular);
  EXPECT_NEAR(textWidth("Loading", 44, FontWeight::regular), 2 * regular, 0.01);
  EXPECT_EQ(textWidth("", 22, FontWeight::regular), 0);
  EXPECT_GT(textWidth("Session error", 22, FontWeight::semibold), semibold);
  // Non-ASCII text is measured as characters, not bytes.
  EXPECT_LT(textWidth("\xC3\xA9", 22, FontWeight::regular), textWidth("ee", 22, FontWeight::regular));
}

TEST(TextMetricsTest, TheMeasureFeedsTheModel) {
  const TextMeasure measure = fontTextMeasure();
  EXPECT_EQ(measure("Goodbye", 22, FontWeight::semibold),
            textWidth("Goodbye", 22, FontWeight::semibold));
}

}  // namespace
}  // namespace deskplay::simdesk
