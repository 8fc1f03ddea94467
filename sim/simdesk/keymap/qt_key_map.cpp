#include "sim/simdesk/keymap/qt_key_map.hpp"

#include "platform/event_taps.hpp"
#include "sim/simdesk/keymap/us_layout.hpp"
#include "sim/simdesk/keymap/virtual_key_codes.hpp"

namespace deskplay::simdesk {
namespace {

namespace vk = virtual_key;

std::optional<std::int64_t> keypadKeyCode(int key) {
  switch (key) {
    case Qt::Key_0:
      return vk::keypad0;
    case Qt::Key_1:
      return vk::keypad1;
    case Qt::Key_2:
      return vk::keypad2;
    case Qt::Key_3:
      return vk::keypad3;
    case Qt::Key_4:
      return vk::keypad4;
    case Qt::Key_5:
      return vk::keypad5;
    case Qt::Key_6:
      return vk::keypad6;
    case Qt::Key_7:
      return vk::keypad7;
    case Qt::Key_8:
      return vk::keypad8;
    case Qt::Key_9:
      return vk::keypad9;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return vk::keypadDecimal;
    case Qt::Key_Asterisk:
      return vk::keypadMultiply;
    case Qt::Key_Plus:
      return vk::keypadPlus;
    case Qt::Key_Minus:
      return vk::keypadMinus;
    case Qt::Key_Slash:
      return vk::keypadDivide;
    case Qt::Key_Equal:
      return vk::keypadEquals;
    case Qt::Key_Enter:
      return vk::keypadEnter;
    case Qt::Key_Clear:
      return vk::keypadClear;
    default:
      return std::nullopt;
  }
}

std::optional<std::int64_t> namedKeyCode(int key) {
  switch (key) {
    case Qt::Key_Return:
      return vk::returnKey;
    case Qt::Key_Enter:
      return vk::keypadEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return vk::tab;
    case Qt::Key_Space:
      return vk::space;
    case Qt::Key_Backspace:
      return vk::deleteKey;
    case Qt::Key_Delete:
      return vk::forwardDelete;
    case Qt::Key_Escape:
      return vk::escape;
    case Qt::Key_Left:
      return vk::leftArrow;
    case Qt::Key_Right:
      return vk::rightArrow;
    case Qt::Key_Down:
      return vk::downArrow;
    case Qt::Key_Up:
      return vk::upArrow;
    case Qt::Key_Home:
      return vk::home;
    case Qt::Key_End:
      return vk::end;
    case Qt::Key_PageUp:
      return vk::pageUp;
    case Qt::Key_PageDown:
      return vk::pageDown;
    case Qt::Key_Help:
    case Qt::Key_Insert:
      return vk::help;  // the Mac's Help key sits where Insert is
    case Qt::Key_Clear:
      return vk::keypadClear;
    case Qt::Key_F1:
      return vk::f1;
    case Qt::Key_F2:
      return vk::f2;
    case Qt::Key_F3:
      return vk::f3;
    case Qt::Key_F4:
      return vk::f4;
    case Qt::Key_F5:
      return vk::f5;
    case Qt::Key_F6:
      return vk::f6;
    case Qt::Key_F7:
      return vk::f7;
    case Qt::Key_F8:
      return vk::f8;
    case Qt::Key_F9:
      return vk::f9;
    case Qt::Key_F10:
      return vk::f10;
    case Qt::Key_F11:
      return vk::f11;
    case Qt::Key_F12:
      return vk::f12;
    case Qt::Key_F13:
      return vk::f13;
    case Qt::Key_F14:
      return vk::f14;
    case Qt::Key_F15:
      return vk::f15;
    case Qt::Key_F16:
      return vk::f16;
    case Qt::Key_F17:
      return vk::f17;
    case Qt::Key_F18:
      return vk::f18;
    case Qt::Key_F19:
      return vk::f19;
    case Qt::Key_F20:
      return vk::f20;
    case Qt::Key_Shift:
      return vk::shift;
    case Qt::Key_Control:
      return vk::control;
    case Qt::Key_Alt:
      return vk::option;
    case Qt::Key_AltGr:
      return vk::rightOption;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
      return vk::command;
    case Qt::Key_Super_R:
      return vk::rightCommand;
    case Qt::Key_CapsLock:
      return vk::capsLock;
    default:
      return std::nullopt;
  }
}

// Printing keys: Qt names them by the character they type (upper case for letters), so
// the US layout finds the key.
std::optional<std::int64_t> printingKeyCode(int key) {
  if (key < 0x20 || key > 0x7E) return std::nullopt;
  char32_t character = static_cast<char32_t>(key);
  if (character >= U'A' && character <= U'Z') character += U'a' - U'A';
  const std::optional<KeyStroke> stroke = usKeyStrokeFor(character);
  if (!stroke) return std::nullopt;
  return stroke->keyCode;
}

// Control turns the characters from @ to _ (letters in either case) into the control
// characters 0 to 31.
std::string withControl(const std::string& characters) {
  if (characters.size() != 1) return characters;
  const char character = characters[0];
  if ((character >= '@' && character <= '_') || (character >= 'a' && character <= 'z')) {
    return std::string(1, static_cast<char>(character & 0x1F));
  }
  return characters;
}

}  // namespace

std::uint64_t eventFlagsFor(Qt::KeyboardModifiers modifiers) {
  namespace flags = platform::event_flags;
  std::uint64_t result = 0;
  if (modifiers & Qt::ShiftModifier) result |= flags::shift;
  if (modifiers & Qt::ControlModifier) result |= flags::control;
  if (modifiers & Qt::AltModifier) result |= flags::option;
  if (modifiers & Qt::MetaModifier) result |= flags::command;
  return result;
}

std::optional<MacKey> macKeyFor(int key, Qt::KeyboardModifiers modifiers) {
  std::optional<std::int64_t> keyCode;
  if (modifiers & Qt::KeypadModifier) keyCode = keypadKeyCode(key);
  if (!keyCode) keyCode = namedKeyCode(key);
  if (!keyCode) keyCode = printingKeyCode(key);
  if (!keyCode) return std::nullopt;

  MacKey mac;
  mac.keyCode = *keyCode;
  mac.flags = eventFlagsFor(modifiers) | inherentKeyFlags(*keyCode);
  const Shift shift = (modifiers & Qt::ShiftModifier) ? Shift::down : Shift::up;
  mac.charactersIgnoringModifiers = usCharactersFor(*keyCode, shift).value_or("");
  mac.characters = (modifiers & Qt::ControlModifier) ? withControl(mac.charactersIgnoringModifiers)
                                                     : mac.charactersIgnoringModifiers;
  return mac;
}

}  // namespace deskplay::simdesk
