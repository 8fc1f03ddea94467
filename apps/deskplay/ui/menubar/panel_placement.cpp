#include "ui/menubar/panel_placement.hpp"

#include <algorithm>

namespace deskplay::ui {

namespace {

using platform::Point;
using platform::Rect;
using platform::Size;

double alignedX(const Rect& button, double width, PopUpAlignment alignment) {
  switch (alignment) {
    case PopUpAlignment::left:
      return button.minX() - 2;
    case PopUpAlignment::centre:
      return button.minX() + button.size.width * 0.5 - width * 0.5;
    case PopUpAlignment::right:
      return button.maxX() - width + 2;
  }
  return button.minX();
}

PopUpAlignment mirrored(PopUpAlignment alignment) {
  switch (alignment) {
    case PopUpAlignment::left:
      return PopUpAlignment::right;
    case PopUpAlignment::right:
      return PopUpAlignment::left;
    case PopUpAlignment::centre:
      return PopUpAlignment::centre;
  }
  return alignment;
}

bool leaves(const Rect& visible, double x, double width) {
  return x < visible.minX() || x + width > visible.maxX();
}

}  // namespace

Rect panelFrame(const Rect& buttonWindow, Size panel, const Rect& visible, PopUpAlignment alignment,
                ScreenClippingBehaviour clipping) {
  double x = alignedX(buttonWindow, panel.width, alignment);
  if (leaves(visible, x, panel.width)) {
    switch (clipping) {
      case ScreenClippingBehaviour::reverseAlignment:
        x = alignedX(buttonWindow, panel.width, mirrored(alignment));
        break;
      case ScreenClippingBehaviour::hugEdge:
        // A panel wider than the screen keeps its left edge on it.
        x = std::max(visible.minX(), std::min(x, visible.maxX() - panel.width));
        break;
    }
  }
  return Rect{Point{x, buttonWindow.minY() - panel.height}, panel};
}

std::optional<Rect> visibleFrameAround(const Rect& buttonWindow,
                                       const std::vector<platform::Screen>& screens) {
  if (screens.empty()) return std::nullopt;
  const Point centre{buttonWindow.minX() + buttonWindow.size.width * 0.5,
                     buttonWindow.minY() + buttonWindow.size.height * 0.5};
  for (const platform::Screen& screen : screens) {
    if (screen.frame.contains(centre)) return screen.visibleFrame;
  }
  return screens.front().visibleFrame;
}

}  // namespace deskplay::ui
