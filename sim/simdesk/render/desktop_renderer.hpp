#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "sim/simdesk/model/simulated_desktop.hpp"

class QPainter;

namespace deskplay::simdesk {

// Draws the simulated desktop as the screen would show it: the desktop picture (scaled to
// fill) or colour, Finder's icons with their custom images and labels, the windows by level
// (covers, the status panel, Finder windows, the open panel, and the windows applications
// draw, blended with their alpha), the Dock and the menu bar with its status items and clock
// unless they autohide. One point is one pixel. Needs a QGuiApplication (the offscreen platform
// will do). Decoded icons and the desktop picture are cached between frames.
class DesktopRenderer {
 public:
  explicit DesktopRenderer(SimulatedDesktop& desktop);

  std::size_t screenCount() const;
  // One screen (0 is the main screen); a null image when there is no such screen.
  QImage renderScreen(std::size_t screen);
  // Every screen, placed as they are arranged, in one image; null without screens.
  QImage renderAll();
  // PNG bytes of renderAll(); empty without screens.
  QByteArray screenshotPng();

 private:
  struct CachedIcon {
    std::size_t pngHash = 0;
    int size = 0;
    QImage image;  // scaled to fit `size`; null when the PNG does not decode
  };
  void paint(QPainter& painter);
  void paintBackground(QPainter& painter);
  void paintIcons(QPainter& painter);
  void paintWindow(QPainter& painter, const SimWindow& window);
  void paintStatusPanel(QPainter& painter, const SimWindow& window, const QRectF& frame);
  void paintFinderWindow(QPainter& painter, const SimWindow& window, const QRectF& frame);
  void paintContentWindow(QPainter& painter, const SimWindow& window, const QRectF& frame);
  void paintOpenPanel(QPainter& painter, const SimWindow& window, const QRectF& frame);
  void paintStatusArea(QPainter& painter, const QColor& textColor);
  const QImage& statusItemImage(const StatusItem& item, const QColor& color);
  void paintDock(QPainter& painter);
  void paintMenuBar(QPainter& painter);
  const QImage* customIcon(const DesktopItem& item, int size);
  const QImage& genericIcon(ItemKind kind, int size);
  const QImage& desktopPicture();
  // The picture scaled to fill a screen of this size, cropped to it.
  const QImage& pictureFilling(const QSize& screen);

  SimulatedDesktop& desktop_;
  std::unordered_map<std::uint64_t, CachedIcon> icons_;
  std::unordered_map<std::uint64_t, CachedIcon> statusImages_;  // by status item
  std::unordered_map<int, QImage> fileGlyphs_;
  std::unordered_map<int, QImage> folderGlyphs_;
  std::optional<std::uint64_t> pictureGeneration_;
  QImage picture_;
  std::map<std::pair<int, int>, QImage> filledPictures_;
};

}  // namespace deskplay::simdesk
