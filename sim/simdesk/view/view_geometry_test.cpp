#include "sim/simdesk/view/view_geometry.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using platform::Point;

TEST(ViewGeometryTest, TheImageFitsTheWindowCentred) {
  const struct {
    QSizeF window;
    QSizeF image;
    QRectF shown;
  } cases[] = {
      {{1440, 900}, {1440, 900}, {0, 0, 1440, 900}},
      {{720, 450}, {1440, 900}, {0, 0, 720, 450}},
      {{800, 450}, {1440, 900}, {40, 0, 720, 450}},  // wider: bars left and right
      {{720, 600}, {1440, 900}, {0, 75, 720, 450}},  // taller: bars above and below
      {{2880, 1800}, {1440, 900}, {0, 0, 2880, 1800}},
      {{720, 450}, {0, 0}, {}},
      {{0, 0}, {1440, 900}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(imageRectIn(c.window, c.image), c.shown)
        << c.window.width() << "x" << c.window.height();
  }
}

TEST(ViewGeometryTest, WindowPointsBecomeScreenPoints) {
  const struct {
    QPointF windowPoint;
    QSizeF window;
    QSizeF image;
    Point origin;
    Point screen;
  } cases[] = {
      {{100, 50}, {1440, 900}, {1440, 900}, {0, 0}, {100, 50}},
      {{100, 50}, {720, 450}, {1440, 900}, {0, 0}, {200, 100}},
      {{140, 50}, {800, 450}, {1440, 900}, {0, 0}, {200, 100}},   // past the left bar
      {{100, 125}, {720, 600}, {1440, 900}, {0, 0}, {200, 100}},  // below the top bar
      {{100, 50}, {2880, 1800}, {1440, 900}, {0, 0}, {50, 25}},
      {{10, 10}, {800, 450}, {1440, 900}, {0, 0}, {0, 20}},     // in the bar: the left edge
      {{-50, 900}, {720, 450}, {1440, 900}, {0, 0}, {0, 899}},  // dragged out of the window
      {{5000, 5000}, {720, 450}, {1440, 900}, {0, 0}, {1439, 899}},
      {{100, 50}, {1440, 900}, {1440, 900}, {-1920, 0}, {-1820, 50}},
      {{100, 50}, {720, 450}, {0, 0}, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    const Point screen = screenPointAt(c.windowPoint, c.window, c.image, c.origin);
    EXPECT_DOUBLE_EQ(screen.x, c.screen.x) << c.windowPoint.x() << "," << c.windowPoint.y();
    EXPECT_DOUBLE_EQ(screen.y, c.screen.y) << c.windowPoint.x() << "," << c.windowPoint.y();
  }
}

}  // namespace
}  // namespace deskplay::simdesk
