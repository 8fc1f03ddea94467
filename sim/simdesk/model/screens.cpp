#include "sim/simdesk/model/screens.hpp"

#include <algorithm>

namespace deskplay::simdesk {

using platform::Rect;
using platform::Screen;
using platform::Size;

Screens::Screens() : sizes_{Size{1440, 900}} {}

void Screens::setSizes(std::vector<Size> sizes) {
  sizes_ = std::move(sizes);
  changed();
}

void Screens::setDockAutohide(Autohide autohide) {
  if (dockAutohide_ == autohide) return;
  dockAutohide_ = autohide;
  changed();
}

void Screens::setMenuBarAutohide(Autohide autohide) {
  if (menuBarAutohide_ == autohide) return;
  menuBarAutohide_ = autohide;
  changed();
}

std::vector<Screen> Screens::screens() const {
  std::vector<Screen> result;
  if (sizes_.empty()) return result;
  const double mainHeight = sizes_.front().height;
  double x = 0;
  for (std::size_t i = 0; i < sizes_.size(); ++i) {
    const Size& size = sizes_[i];
    // Secondary screens share the main screen's top edge.
    const double y = i == 0 ? 0 : mainHeight - size.height;
    Screen screen;
    screen.frame = Rect{{x, y}, size};
    screen.visibleFrame = screen.frame;
    if (i == 0) {
      if (menuBarAutohide_ == Autohide::off) screen.visibleFrame.size.height -= kMenuBarHeight;
      if (dockAutohide_ == Autohide::off) {
        screen.visibleFrame.origin.y += kDockHeight;
        screen.visibleFrame.size.height -= kDockHeight;
      }
      screen.visibleFrame.size.height = std::max(0.0, screen.visibleFrame.size.height);
    }
    result.push_back(screen);
    x += size.width;
  }
  return result;
}

std::optional<Screen> Screens::mainScreen() const {
  auto all = screens();
  if (all.empty()) return std::nullopt;
  return all.front();
}

double Screens::flipHeight() const { return sizes_.empty() ? 0 : sizes_.front().height; }

Rect Screens::toTopLeft(const Rect& bottomLeft) const {
  return Rect{{bottomLeft.origin.x, flipHeight() - bottomLeft.origin.y - bottomLeft.size.height},
              bottomLeft.size};
}

Rect Screens::toBottomLeft(const Rect& topLeft) const {
  // The flip is its own inverse.
  return toTopLeft(topLeft);
}

Rect Screens::desktopArea() const {
  if (auto main = mainScreen()) return toTopLeft(main->visibleFrame);
  return Rect{{0, kMenuBarHeight}, {1440, 900 - kMenuBarHeight}};
}

std::optional<Rect> Screens::menuBarFrame() const {
  if (sizes_.empty() || menuBarAutohide_ == Autohide::on) return std::nullopt;
  return Rect{{0, 0}, {sizes_.front().width, kMenuBarHeight}};
}

std::optional<Rect> Screens::dockFrame() const {
  if (sizes_.empty() || dockAutohide_ == Autohide::on) return std::nullopt;
  // The Dock is drawn as a centred shelf; the whole strip is kept out of the visible frame.
  const Size& main = sizes_.front();
  const double width = std::min(kDockWidth, main.width);
  return Rect{{(main.width - width) / 2, main.height - kDockHeight}, {width, kDockHeight}};
}

void Screens::addChangeListener(std::function<void()> listener) {
  listeners_.push_back(std::move(listener));
}

void Screens::changed() {
  for (auto& listener : listeners_) listener();
}

}  // namespace deskplay::simdesk
