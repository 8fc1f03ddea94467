#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace deskplay::simdesk {

// One key press that types a character on a US keyboard. `characters` and
// `charactersIgnoringModifiers` are what the key event carries: the latter ignores every
// modifier except Shift, as on the Mac, so Shift-A carries "A" in both and a listener that
// reads the characters ignoring modifiers still sees what was typed.
struct KeyStroke {
  std::int64_t keyCode = 0;
  bool shift = false;
  std::string characters;
  std::string charactersIgnoringModifiers;

  bool operator==(const KeyStroke&) const = default;
};

// Every printable ASCII character, newline and carriage return (Return, which carries "\r"),
// tab, escape and DEL (the Delete key); nothing for anything else.
std::optional<KeyStroke> usKeyStrokeFor(char32_t character);

enum class Shift { up, down };

// What a key types on a US keyboard with or without Shift, as the key event's characters
// ignoring modifiers: printable keys their character, the others what the Mac gives them
// ("\r" for Return, "\x7f" for Delete, U+F700… for the arrows, function and navigation
// keys). Nothing for modifier keys and unknown codes.
std::optional<std::string> usCharactersFor(std::int64_t keyCode, Shift shift);

// The flags a key's events carry by themselves: numeric pad for the keypad and the arrows,
// function for the arrows, the F-keys and the navigation keys.
std::uint64_t inherentKeyFlags(std::int64_t keyCode);

// The flag a modifier key holds down (either Shift key: shift, and so on; Caps Lock:
// capsLock); 0 for every other key.
std::uint64_t modifierFlagOf(std::int64_t keyCode);

}  // namespace deskplay::simdesk
