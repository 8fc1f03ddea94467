#include "status_panel/session_status_window.hpp"

#include <cmath>
#include <optional>

namespace deskplay::status_panel {

namespace {

using platform::Point;
using platform::Rect;
using platform::Screen;
using platform::Size;

constexpr double kSpinnerSlot = 32;
constexpr double kSpinnerSide = 20;
constexpr double kSpinnerY = 38;
constexpr double kLabelY = 34;
constexpr double kLabelHeight = 28;
// Room the label needs beyond its measured text so that nothing gets clipped.
constexpr double kLabelSlack = 4;

platform::WindowTraits panelTraits() {
  namespace behavior = platform::collection_behavior;
  platform::WindowTraits traits;
  traits.level = platform::window_levels::floating;
  traits.background = std::nullopt;
  traits.opaque = false;
  traits.hasShadow = true;
  traits.ignoresMouseEvents = true;
  traits.collectionBehavior = behavior::canJoinAllSpaces | behavior::stationary |
                              behavior::ignoresCycle | behavior::fullScreenAuxiliary;
  traits.hidesOnDeactivate = false;
  traits.floatingPanel = true;
  traits.canHide = false;
  traits.releasedWhenClosed = false;
  traits.becomesKeyOrMain = false;
  return traits;
}

// The screen whose frame starts at the origin, else the main screen.
std::optional<Screen> primaryScreen(platform::Windows& windows) {
  for (const Screen& screen : windows.screens()) {
    if (screen.frame.origin == Point{0, 0}) return screen;
  }
  return windows.mainScreen();
}

}  // namespace

SessionStatusWindow::SessionStatusWindow(platform::Windows& windows)
    : windows_(windows),
      panel_(windows.createStatusPanel(platform::WindowSpec{
          Rect{{0, 0}, {kWidth, kHeight}}, platform::window_style::nonactivatingPanel,
          platform::WindowSpec::Kind::panel})) {
  panel_->configure(panelTraits());
  content_.labelFrame = Rect{{24, kLabelY}, {232, kLabelHeight}};
  panel_->setContent(content_);
  displayOptions_ = windows_.observeDisplayOptions([this] { refreshLoadingAnimation(); });
}

// The observation goes first, so that no notice reaches a half-destroyed panel.
SessionStatusWindow::~SessionStatusWindow() {
  displayOptions_.reset();
}

std::string_view SessionStatusWindow::textForPhase(std::string_view phase) {
  if (phase == status_phase::loading) return "Loading";
  if (phase == status_phase::restoring) return "Goodbye";
  return "Session error";
}

void SessionStatusWindow::show(std::string_view phase) {
  setMessage(phase);
  if (const std::optional<Screen> screen = primaryScreen(windows_)) {
    const Size size = panel_->frame().size;
    const Rect& frame = screen->frame;
    panel_->setFrameOrigin(Point{frame.origin.x + frame.size.width / 2 - size.width / 2,
                                 frame.origin.y + frame.size.height / 2 - size.height / 2});
  }
  panel_->orderFrontRegardless();
  refreshLoadingAnimation();
  panel_->display();
}

void SessionStatusWindow::setMessage(std::string_view phase) {
  phase_ = std::string(phase);
  const std::string text(textForPhase(phase));
  const bool loading = phase == status_phase::loading;

  const double textWidth = std::ceil(windows_.textWidth(text, kMessageFont)) + kLabelSlack;
  const double spinnerSlot = loading ? kSpinnerSlot : 0;
  const double left = (kWidth - (spinnerSlot + textWidth)) / 2;

  content_.text = text;
  content_.accessibilityLabel = text;
  content_.spinnerVisible = loading;
  content_.spinnerFrame = Rect{{left, kSpinnerY}, {kSpinnerSide, kSpinnerSide}};
  content_.labelFrame = Rect{{left + spinnerSlot, kLabelY}, {textWidth, kLabelHeight}};
  panel_->setContent(content_);
  refreshLoadingAnimation();
}

void SessionStatusWindow::refreshLoadingAnimation() {
  const bool animating =
      panel_->isVisible() && phase_ == status_phase::loading && !windows_.reduceMotion();
  if (content_.spinnerAnimating == animating) return;
  content_.spinnerAnimating = animating;
  panel_->setContent(content_);
}

void SessionStatusWindow::orderOut() {
  if (content_.spinnerAnimating) {
    content_.spinnerAnimating = false;
    panel_->setContent(content_);
  }
  panel_->orderOut();
}

bool SessionStatusWindow::isVisible() const {
  return panel_->isVisible();
}

}  // namespace deskplay::status_panel
