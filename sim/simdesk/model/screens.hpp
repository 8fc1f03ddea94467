#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/geometry.hpp"
#include "platform/windows.hpp"

namespace deskplay::simdesk {

enum class Autohide { off, on };

// The displays: sizes in points, laid out left to right with the main screen (the one with
// the menu bar and the Dock) first at the origin and the others top-aligned beside it.
// Frames use the bottom-left origin of the main screen, as the application framework gives
// them; the menu bar (24 points) and the Dock are taken off the visible frame unless they
// autohide.
class Screens {
 public:
  static constexpr double kMenuBarHeight = 24;
  static constexpr double kDockHeight = 64;
  static constexpr double kDockWidth = 560;

  Screens();

  // An empty list means no display at all.
  void setSizes(std::vector<platform::Size> sizes);
  const std::vector<platform::Size>& sizes() const { return sizes_; }

  Autohide dockAutohide() const { return dockAutohide_; }
  Autohide menuBarAutohide() const { return menuBarAutohide_; }
  void setDockAutohide(Autohide autohide);
  void setMenuBarAutohide(Autohide autohide);

  std::vector<platform::Screen> screens() const;
  std::optional<platform::Screen> mainScreen() const;

  // The height that converts between the two origins: the top edge of the main screen
  // (0 without screens).
  double flipHeight() const;
  platform::Rect toTopLeft(const platform::Rect& bottomLeft) const;
  platform::Rect toBottomLeft(const platform::Rect& topLeft) const;

  // The main screen's visible frame in top-left-origin coordinates, or a 1440 × 900 screen
  // with the menu bar when there is no display (Finder still lays its desktop out).
  platform::Rect desktopArea() const;
  // Top-left-origin frames of the menu bar and of the Dock's shelf (centred at the bottom)
  // on the main screen; nothing when hidden or without a display.
  std::optional<platform::Rect> menuBarFrame() const;
  std::optional<platform::Rect> dockFrame() const;

  // Called after every change of sizes or autohide settings.
  void addChangeListener(std::function<void()> listener);

 private:
  void changed();

  std::vector<platform::Size> sizes_;
  Autohide dockAutohide_ = Autohide::off;
  Autohide menuBarAutohide_ = Autohide::off;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace deskplay::simdesk
