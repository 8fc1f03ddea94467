#include "covers/app_kit_rect.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace deskplay::glyphon {
namespace {

using platform::Rect;
using platform::Screen;

Screen screenAt(double x, double y, double width, double height) {
  return Screen{Rect{{x, y}, {width, height}}, Rect{{x, y}, {width, height}}};
}

struct FlipCase {
  std::string name;
  std::vector<Screen> screens;
  Rect expected;  // of the rectangle at top-left (0, 0), 100 × 50
};

TEST(AppKitRectTest, FlipsAgainstTheTopOfTheScreenAtTheOrigin) {
  const FlipCase cases[] = {
      {"one 1440 x 900 screen", {screenAt(0, 0, 1440, 900)}, {{0, 850}, {100, 50}}},
      {"the screen at the origin comes second",
       {screenAt(1440, 0, 1920, 1200), screenAt(0, 0, 1440, 900)},
       {{0, 850}, {100, 50}}},
      {"no screen at the origin: the first one",
       {screenAt(-1920, 100, 1920, 1080), screenAt(50, 0, 800, 600)},
       {{0, 1130}, {100, 50}}},
      {"no screens", {}, {{0, -50}, {100, 50}}},
  };
  for (const FlipCase& c : cases)
    EXPECT_EQ(appKitRect(c.screens, 0, 0, 100, 50), c.expected) << c.name;
}

TEST(AppKitRectTest, KeepsXAndTheSize) {
  EXPECT_EQ(appKitRect({screenAt(0, 0, 1440, 900)}, 300.5, 200.25, 64, 80),
            (Rect{{300.5, 619.75}, {64, 80}}));
}

}  // namespace
}  // namespace deskplay::glyphon
