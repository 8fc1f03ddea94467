#include "sim/simdesk/view/desktop_view.hpp"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>

#include "sim/simdesk/keymap/qt_key_map.hpp"
#include "sim/simdesk/keymap/us_layout.hpp"
#include "sim/simdesk/view/view_geometry.hpp"

namespace deskplay::simdesk {
namespace {

using platform::EventType;

// The window's share of the person's screen when the simulated screens are larger.
constexpr double kLargestShare = 0.9;

}  // namespace

DesktopView::DesktopView(SimulatedDesktop& desktop, DesktopRenderer& renderer, ViewInput input,
                         QWidget* parent)
    : QWidget(parent), desktop_(desktop), renderer_(renderer), input_(std::move(input)) {
  setWindowTitle("simdesk");
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);

  frameTimer_.setSingleShot(true);
  frameTimer_.callOnTimeout(this, [this] { renderFrame(); });
  pollTimer_.callOnTimeout(this, [this] { requestFrame(); });
  pollTimer_.start(kPollInterval);

  // The model's listeners cannot be removed and may outlive this window.
  const auto changed = [view = QPointer<DesktopView>(this)] {
    if (view) view->requestFrame();
  };
  desktop_.finder().addChangeListener([changed](FinderChange) { changed(); });
  desktop_.windowServer().addChangeListener([changed](std::uint32_t) { changed(); });
  desktop_.screens().addChangeListener(changed);
  desktop_.statusBar().addChangeListener(changed);
  desktop_.applications().addVisibilityListener([changed](platform::ProcessId) { changed(); });

  renderFrame();
  // Qt would cap a new window at two thirds of the person's screen.
  resize(sizeHint());
}

void DesktopView::requestFrame() {
  if (frameTimer_.isActive()) return;
  const qint64 since = sinceLastFrame_.isValid() ? sinceLastFrame_.elapsed() : kFrameInterval;
  frameTimer_.start(static_cast<int>(std::max<qint64>(0, kFrameInterval - since)));
}

void DesktopView::renderFrame() {
  sinceLastFrame_.start();
  QImage image = renderer_.renderAll();
  ++framesRendered_;
  if (image == frame_) return;
  frame_ = std::move(image);
  ++framesShown_;
  update();
}

QSize DesktopView::sizeHint() const {
  const QSize full = frame_.isNull() ? QSize(1440, 900) : frame_.size();
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return full;
  const QSize room = screen->availableSize() * kLargestShare;
  if (full.width() <= room.width() && full.height() <= room.height()) return full;
  return full.scaled(room, Qt::KeepAspectRatio);
}

void DesktopView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(32, 32, 32));
  if (frame_.isNull()) {
    painter.setPen(Qt::lightGray);
    painter.drawText(rect(), Qt::AlignCenter, "No display");
    return;
  }
  const QRectF shown = imageRectIn(size(), frame_.size());
  if (shown.size() != QSizeF(frame_.size())) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
  }
  painter.drawImage(shown, frame_);
}

void DesktopView::keyPressEvent(QKeyEvent* event) {
  sendKey(*event, KeyDirection::down);
}

void DesktopView::keyReleaseEvent(QKeyEvent* event) {
  sendKey(*event, KeyDirection::up);
}

void DesktopView::sendKey(const QKeyEvent& event, KeyDirection direction) {
  // A held key repeats its key-down on the Mac; the releases Qt reports in between are not
  // real.
  if (direction == KeyDirection::up && event.isAutoRepeat()) return;
  const std::optional<MacKey> key = macKeyFor(event.key(), event.modifiers());
  if (!key) return;

  platform::Event mac;
  mac.keyCode = key->keyCode;
  mac.location = desktop_.events().pointer();
  if (const std::uint64_t held = modifierFlagOf(key->keyCode); held != 0) {
    // Modifier keys change the flags; the event says which flags hold after the change.
    mac.type = EventType::flagsChanged;
    mac.flags = direction == KeyDirection::down ? key->flags | held : key->flags & ~held;
  } else {
    mac.type = direction == KeyDirection::down ? EventType::keyDown : EventType::keyUp;
    mac.flags = key->flags;
    mac.characters = key->characters;
    mac.charactersIgnoringModifiers = key->charactersIgnoringModifiers;
  }
  input_(mac);
  requestFrame();
}

void DesktopView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) sendMouse(*event, EventType::leftMouseDown);
  if (event->button() == Qt::RightButton) sendMouse(*event, EventType::rightMouseDown);
}

void DesktopView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) sendMouse(*event, EventType::leftMouseUp);
  if (event->button() == Qt::RightButton) sendMouse(*event, EventType::rightMouseUp);
}

void DesktopView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    sendMouse(*event, EventType::leftMouseDragged);
  } else if (event->buttons() & Qt::RightButton) {
    sendMouse(*event, EventType::rightMouseDragged);
  } else {
    sendMouse(*event, EventType::mouseMoved);
  }
}

void DesktopView::wheelEvent(QWheelEvent* event) {
  if (frame_.isNull()) return;
  platform::Event mac;
  mac.type = EventType::scrollWheel;
  mac.flags = eventFlagsFor(event->modifiers());
  mac.location = screenPointAt(event->position(), size(), frame_.size(), frameOrigin());
  // Qt gives eighths of a degree, 120 to a notch; a notch scrolls about ten points.
  const QPoint pixels = event->pixelDelta();
  const QPoint degrees = event->angleDelta();
  mac.scrollDeltaX = pixels.isNull() ? degrees.x() / 12.0 : pixels.x();
  mac.scrollDeltaY = pixels.isNull() ? degrees.y() / 12.0 : pixels.y();
  input_(mac);
  requestFrame();
}

void DesktopView::sendMouse(const QMouseEvent& event, EventType type) {
  // Without a display there is nowhere for the pointer to be.
  if (frame_.isNull()) return;
  platform::Event mac;
  mac.type = type;
  mac.flags = eventFlagsFor(event.modifiers());
  mac.location = screenPointAt(event.position(), size(), frame_.size(), frameOrigin());
  input_(mac);
  requestFrame();
}

bool DesktopView::focusNextPrevChild(bool) {
  return false;
}

platform::Point DesktopView::frameOrigin() {
  // The renderer puts the top-left corner of all the screens together at the frame's origin.
  platform::Point origin{0, 0};
  for (const platform::Screen& screen : desktop_.screens().screens()) {
    const platform::Rect frame = desktop_.screens().toTopLeft(screen.frame);
    origin.x = std::min(origin.x, frame.minX());
    origin.y = std::min(origin.y, frame.minY());
  }
  return origin;
}

}  // namespace deskplay::simdesk
