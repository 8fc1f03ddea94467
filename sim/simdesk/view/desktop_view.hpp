#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "platform/event_taps.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/render/desktop_renderer.hpp"
#include "sim/simdesk/view/view_input.hpp"

namespace deskplay::simdesk {

// The live window on the simulated desktop: shows every screen as the renderer draws them,
// scaled to the window, and turns the person's keyboard and mouse over it into hardware
// events. It draws a new frame at most every kFrameInterval after the model reports a
// change, and looks for unreported changes (a new desktop picture, Finder coming up) every
// kPollInterval; the window repaints only when the picture differs. Main thread only.
class DesktopView final : public QWidget {
 public:
  static constexpr int kFrameInterval = 33;  // ms: 30 frames a second
  static constexpr int kPollInterval = 250;  // ms

  DesktopView(SimulatedDesktop& desktop, DesktopRenderer& renderer, ViewInput input,
              QWidget* parent = nullptr);

  // Draws a frame soon, within kFrameInterval of the last one.
  void requestFrame();

  // The picture shown now; null without screens.
  const QImage& frame() const { return frame_; }
  std::uint64_t framesRendered() const { return framesRendered_; }
  std::uint64_t framesShown() const { return framesShown_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // Tab belongs to the simulated desktop, not to focus changes.
  bool focusNextPrevChild(bool next) override;

 private:
  enum class KeyDirection { down, up };

  void renderFrame();
  void sendKey(const QKeyEvent& event, KeyDirection direction);
  void sendMouse(const QMouseEvent& event, platform::EventType type);
  // The global point at the top-left corner of the frame.
  platform::Point frameOrigin();

  SimulatedDesktop& desktop_;
  DesktopRenderer& renderer_;
  ViewInput input_;
  QImage frame_;
  QTimer frameTimer_;
  QTimer pollTimer_;
  QElapsedTimer sinceLastFrame_;
  std::uint64_t framesRendered_ = 0;
  std::uint64_t framesShown_ = 0;
};

}  // namespace deskplay::simdesk
