#pragma once

#include <Qt>
#include <cstdint>
#include <optional>
#include <string>

namespace deskplay::simdesk {

// A key of the person's keyboard as the Mac would report it.
struct MacKey {
  std::int64_t keyCode = 0;
  std::uint64_t flags = 0;  // event_flags bits: the held modifiers and the key's own flags
  std::string characters;
  std::string charactersIgnoringModifiers;

  bool operator==(const MacKey&) const = default;
};

// The modifier flags of key and mouse events for Qt's modifiers. A PC keyboard has no
// Command key: Control is Control, Alt is Option and the Meta (Super) key is Command.
std::uint64_t eventFlagsFor(Qt::KeyboardModifiers modifiers);

// The Mac key for a Qt key event (`key` is QKeyEvent::key()) on a US keyboard, with the
// characters the Mac gives it: what the layout types, the control character when Control is
// held on a letter or one of @[\]^_, and the Mac's own characters for the other keys. Qt's
// text is not used: it follows the person's real layout and input method. Keypad keys need
// Qt::KeypadModifier. Nothing for keys the Mac keyboard does not have.
std::optional<MacKey> macKeyFor(int key, Qt::KeyboardModifiers modifiers);

}  // namespace deskplay::simdesk
