#include "covers/app_kit_rect.hpp"

namespace deskplay::glyphon {

namespace {

double flipHeight(const std::vector<platform::Screen>& screens) {
  for (const platform::Screen& screen : screens) {
    if (screen.frame.origin == platform::Point{0, 0}) return screen.frame.maxY();
  }
  return screens.empty() ? 0 : screens.front().frame.maxY();
}

}  // namespace

platform::Rect appKitRect(const std::vector<platform::Screen>& screens, double topLeftX,
                          double topLeftY, double width, double height) {
  return {{topLeftX, flipHeight(screens) - topLeftY - height}, {width, height}};
}

}  // namespace deskplay::glyphon
