#include "ui/hosting/window_input_events.hpp"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <map>

#include "platform/event_taps.hpp"

namespace deskplay::ui {

namespace {

using platform::WindowInput;
namespace flags = platform::event_flags;

// Points a wheel notch scrolls; the window server gives deltas in points.
constexpr double kPointsPerNotch = 10;

Qt::MouseButton qtButton(platform::PointerButton button) {
  switch (button) {
    case platform::PointerButton::left:
      return Qt::LeftButton;
    case platform::PointerButton::right:
      return Qt::RightButton;
    case platform::PointerButton::none:
      return Qt::NoButton;
  }
  return Qt::NoButton;
}

QPointF pointOf(const WindowInput& input) {
  return {input.location.x, input.location.y};
}

}  // namespace

Qt::KeyboardModifiers qtModifiers(std::uint64_t eventFlags) {
  Qt::KeyboardModifiers modifiers;
  if ((eventFlags & flags::shift) != 0) modifiers |= Qt::ShiftModifier;
  if ((eventFlags & flags::control) != 0) modifiers |= Qt::MetaModifier;
  if ((eventFlags & flags::option) != 0) modifiers |= Qt::AltModifier;
  if ((eventFlags & flags::command) != 0) modifiers |= Qt::ControlModifier;
  return modifiers;
}

int qtKey(std::int64_t keyCode, const std::string& charactersIgnoringModifiers) {
  // The Mac's virtual key codes of the keys that type no text of their own.
  static const std::map<std::int64_t, int> named = {
      {0x24, Qt::Key_Return},    {0x30, Qt::Key_Tab},      {0x31, Qt::Key_Space},
      {0x33, Qt::Key_Backspace}, {0x35, Qt::Key_Escape},   {0x4C, Qt::Key_Enter},
      {0x73, Qt::Key_Home},      {0x74, Qt::Key_PageUp},   {0x75, Qt::Key_Delete},
      {0x77, Qt::Key_End},       {0x79, Qt::Key_PageDown}, {0x7B, Qt::Key_Left},
      {0x7C, Qt::Key_Right},     {0x7D, Qt::Key_Down},     {0x7E, Qt::Key_Up}};
  if (const auto found = named.find(keyCode); found != named.end()) return found->second;
  const QString text = QString::fromStdString(charactersIgnoringModifiers);
  if (text.size() != 1) return Qt::Key_unknown;
  return text.toUpper().at(0).unicode();
}

void WindowInputDelivery::deliver(const WindowInput& input) {
  switch (input.kind) {
    case WindowInput::Kind::mouseDown:
      held_ |= qtButton(input.button);
      mouse(QEvent::MouseButtonPress, input, qtButton(input.button));
      return;
    case WindowInput::Kind::mouseUp:
      held_ &= ~qtButton(input.button);
      mouse(QEvent::MouseButtonRelease, input, qtButton(input.button));
      return;
    case WindowInput::Kind::mouseDragged:
    case WindowInput::Kind::mouseMoved:
      mouse(QEvent::MouseMove, input, Qt::NoButton);
      return;
    case WindowInput::Kind::mouseEntered: {
      const QPointF point = pointOf(input);
      QEnterEvent entered(point, point, point);
      QCoreApplication::sendEvent(&window_, &entered);
      mouse(QEvent::MouseMove, input, Qt::NoButton);
      return;
    }
    case WindowInput::Kind::mouseExited: {
      held_ = Qt::NoButton;
      QEvent left(QEvent::Leave);
      QCoreApplication::sendEvent(&window_, &left);
      return;
    }
    case WindowInput::Kind::scrollWheel: {
      const QPointF point = pointOf(input);
      const QPoint pixels(qRound(input.scrollDeltaX), qRound(input.scrollDeltaY));
      const QPoint angle(qRound(input.scrollDeltaX / kPointsPerNotch * 120),
                         qRound(input.scrollDeltaY / kPointsPerNotch * 120));
      QWheelEvent wheel(point, point, pixels, angle, held_, qtModifiers(input.flags),
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(&window_, &wheel);
      return;
    }
    case WindowInput::Kind::keyDown:
      key(QEvent::KeyPress, input);
      return;
    case WindowInput::Kind::keyUp:
      key(QEvent::KeyRelease, input);
      return;
  }
}

void WindowInputDelivery::mouse(QEvent::Type type, const WindowInput& input,
                                Qt::MouseButton button) {
  const QPointF point = pointOf(input);
  QMouseEvent event(type, point, point, point, button, held_, qtModifiers(input.flags));
  QCoreApplication::sendEvent(&window_, &event);
}

void WindowInputDelivery::key(QEvent::Type type, const WindowInput& input) {
  const Qt::KeyboardModifiers modifiers = qtModifiers(input.flags);
  // Shortcuts type nothing; control characters are not text either.
  const QString typed = QString::fromStdString(input.characters);
  const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                         !(modifiers & (Qt::ControlModifier | Qt::MetaModifier));
  QKeyEvent event(type, qtKey(input.keyCode, input.charactersIgnoringModifiers), modifiers,
                  printable ? typed : QString());
  QCoreApplication::sendEvent(&window_, &event);
}

}  // namespace deskplay::ui
