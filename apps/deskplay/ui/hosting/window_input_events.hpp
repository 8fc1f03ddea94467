#pragma once

#include <QQuickWindow>

#include "platform/window_content.hpp"

namespace deskplay::ui {

// Hands the window server's input for a content window to the Qt Quick window that draws it:
// mouse buttons and moves (hover included), entering and leaving, the wheel, and keys with
// the text they type. It remembers which buttons are down between events. Main thread.
class WindowInputDelivery {
 public:
  explicit WindowInputDelivery(QQuickWindow& window) : window_(window) {}

  void deliver(const platform::WindowInput& input);

 private:
  void mouse(QEvent::Type type, const platform::WindowInput& input, Qt::MouseButton button);
  void key(QEvent::Type type, const platform::WindowInput& input);

  QQuickWindow& window_;
  Qt::MouseButtons held_;
};

// Qt's modifiers for an event's modifier flags (Command is Control, as Qt has it on a Mac).
Qt::KeyboardModifiers qtModifiers(std::uint64_t flags);
// The Qt key for a virtual key code and the characters it typed; Qt::Key_unknown when neither
// says.
int qtKey(std::int64_t keyCode, const std::string& charactersIgnoringModifiers);

}  // namespace deskplay::ui
