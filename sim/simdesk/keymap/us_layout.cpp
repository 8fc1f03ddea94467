#include "sim/simdesk/keymap/us_layout.hpp"

#include <array>

#include "platform/event_taps.hpp"
#include "sim/simdesk/keymap/virtual_key_codes.hpp"

namespace deskplay::simdesk {
namespace {

namespace vk = virtual_key;

struct PrintingKey {
  std::int64_t keyCode;
  char plain;
  char shifted;
};

constexpr std::array<PrintingKey, 48> kPrintingKeys{{
    {vk::ansiA, 'a', 'A'},           {vk::ansiB, 'b', 'B'},
    {vk::ansiC, 'c', 'C'},           {vk::ansiD, 'd', 'D'},
    {vk::ansiE, 'e', 'E'},           {vk::ansiF, 'f', 'F'},
    {vk::ansiG, 'g', 'G'},           {vk::ansiH, 'h', 'H'},
    {vk::ansiI, 'i', 'I'},           {vk::ansiJ, 'j', 'J'},
    {vk::ansiK, 'k', 'K'},           {vk::ansiL, 'l', 'L'},
    {vk::ansiM, 'm', 'M'},           {vk::ansiN, 'n', 'N'},
    {vk::ansiO, 'o', 'O'},           {vk::ansiP, 'p', 'P'},
    {vk::ansiQ, 'q', 'Q'},           {vk::ansiR, 'r', 'R'},
    {vk::ansiS, 's', 'S'},           {vk::ansiT, 't', 'T'},
    {vk::ansiU, 'u', 'U'},           {vk::ansiV, 'v', 'V'},
    {vk::ansiW, 'w', 'W'},           {vk::ansiX, 'x', 'X'},
    {vk::ansiY, 'y', 'Y'},           {vk::ansiZ, 'z', 'Z'},
    {vk::ansi1, '1', '!'},           {vk::ansi2, '2', '@'},
    {vk::ansi3, '3', '#'},           {vk::ansi4, '4', '$'},
    {vk::ansi5, '5', '%'},           {vk::ansi6, '6', '^'},
    {vk::ansi7, '7', '&'},           {vk::ansi8, '8', '*'},
    {vk::ansi9, '9', '('},           {vk::ansi0, '0', ')'},
    {vk::ansiMinus, '-', '_'},       {vk::ansiEqual, '=', '+'},
    {vk::ansiLeftBracket, '[', '{'}, {vk::ansiRightBracket, ']', '}'},
    {vk::ansiBackslash, '\\', '|'},  {vk::ansiSemicolon, ';', ':'},
    {vk::ansiQuote, '\'', '"'},      {vk::ansiComma, ',', '<'},
    {vk::ansiPeriod, '.', '>'},      {vk::ansiSlash, '/', '?'},
    {vk::ansiGrave, '`', '~'},       {vk::space, ' ', ' '},
}};

// Keys whose characters do not depend on Shift.
struct FixedKey {
  std::int64_t keyCode;
  char32_t character;
};

constexpr char32_t kUpArrowCharacter = 0xF700;
constexpr char32_t kF1Character = 0xF704;

constexpr std::array<FixedKey, 51> kFixedKeys{{
    {vk::returnKey, U'\r'},
    {vk::deleteKey, 0x7F},
    {vk::escape, 0x1B},
    {vk::keypadEnter, 0x03},
    {vk::upArrow, kUpArrowCharacter},
    {vk::downArrow, 0xF701},
    {vk::leftArrow, 0xF702},
    {vk::rightArrow, 0xF703},
    {vk::f1, kF1Character},
    {vk::f2, kF1Character + 1},
    {vk::f3, kF1Character + 2},
    {vk::f4, kF1Character + 3},
    {vk::f5, kF1Character + 4},
    {vk::f6, kF1Character + 5},
    {vk::f7, kF1Character + 6},
    {vk::f8, kF1Character + 7},
    {vk::f9, kF1Character + 8},
    {vk::f10, kF1Character + 9},
    {vk::f11, kF1Character + 10},
    {vk::f12, kF1Character + 11},
    {vk::f13, kF1Character + 12},
    {vk::f14, kF1Character + 13},
    {vk::f15, kF1Character + 14},
    {vk::f16, kF1Character + 15},
    {vk::f17, kF1Character + 16},
    {vk::f18, kF1Character + 17},
    {vk::f19, kF1Character + 18},
    {vk::f20, kF1Character + 19},
    {vk::forwardDelete, 0xF728},
    {vk::home, 0xF729},
    {vk::end, 0xF72B},
    {vk::pageUp, 0xF72C},
    {vk::pageDown, 0xF72D},
    {vk::help, 0xF746},
    {vk::keypadClear, 0xF739},
    {vk::keypad0, U'0'},
    {vk::keypad1, U'1'},
    {vk::keypad2, U'2'},
    {vk::keypad3, U'3'},
    {vk::keypad4, U'4'},
    {vk::keypad5, U'5'},
    {vk::keypad6, U'6'},
    {vk::keypad7, U'7'},
    {vk::keypad8, U'8'},
    {vk::keypad9, U'9'},
    {vk::keypadDecimal, U'.'},
    {vk::keypadMultiply, U'*'},
    {vk::keypadPlus, U'+'},
    {vk::keypadMinus, U'-'},
    {vk::keypadDivide, U'/'},
    {vk::keypadEquals, U'='},
}};

// Shift-Tab types the back-tab control character.
constexpr char kBackTab = 0x19;

std::string utf8Of(char32_t character) {
  std::string text;
  if (character < 0x80) {
    text += static_cast<char>(character);
  } else if (character < 0x800) {
    text += static_cast<char>(0xC0 | (character >> 6));
    text += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (character >> 12));
    text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  }
  return text;
}

bool isKeypadKey(std::int64_t keyCode) {
  switch (keyCode) {
    case vk::keypad0:
    case vk::keypad1:
    case vk::keypad2:
    case vk::keypad3:
    case vk::keypad4:
    case vk::keypad5:
    case vk::keypad6:
    case vk::keypad7:
    case vk::keypad8:
    case vk::keypad9:
    case vk::keypadDecimal:
    case vk::keypadMultiply:
    case vk::keypadPlus:
    case vk::keypadMinus:
    case vk::keypadDivide:
    case vk::keypadEquals:
    case vk::keypadEnter:
    case vk::keypadClear:
      return true;
    default:
      return false;
  }
}

bool isFunctionKey(std::int64_t keyCode) {
  switch (keyCode) {
    case vk::f1:
    case vk::f2:
    case vk::f3:
    case vk::f4:
    case vk::f5:
    case vk::f6:
    case vk::f7:
    case vk::f8:
    case vk::f9:
    case vk::f10:
    case vk::f11:
    case vk::f12:
    case vk::f13:
    case vk::f14:
    case vk::f15:
    case vk::f16:
    case vk::f17:
    case vk::f18:
    case vk::f19:
    case vk::f20:
    case vk::forwardDelete:
    case vk::home:
    case vk::end:
    case vk::pageUp:
    case vk::pageDown:
    case vk::help:
      return true;
    default:
      return false;
  }
}

bool isArrowKey(std::int64_t keyCode) {
  return keyCode == vk::leftArrow || keyCode == vk::rightArrow || keyCode == vk::downArrow ||
         keyCode == vk::upArrow;
}

}  // namespace

std::optional<KeyStroke> usKeyStrokeFor(char32_t character) {
  const auto fixed = [](std::int64_t keyCode, std::string characters) {
    return KeyStroke{keyCode, false, characters, characters};
  };
  switch (character) {
    case U'\n':
    case U'\r':
      return fixed(vk::returnKey, "\r");
    case U'\t':
      return fixed(vk::tab, "\t");
    case 0x1B:
      return fixed(vk::escape, "\x1b");
    case 0x7F:
      return fixed(vk::deleteKey, "\x7f");
    default:
      break;
  }
  const std::string text = utf8Of(character);
  for (const PrintingKey& key : kPrintingKeys) {
    if (character == static_cast<char32_t>(key.plain)) {
      return KeyStroke{key.keyCode, false, text, text};
    }
    if (character == static_cast<char32_t>(key.shifted)) {
      return KeyStroke{key.keyCode, true, text, text};
    }
  }
  return std::nullopt;
}

std::optional<std::string> usCharactersFor(std::int64_t keyCode, Shift shift) {
  for (const PrintingKey& key : kPrintingKeys) {
    if (key.keyCode == keyCode) {
      return std::string(1, shift == Shift::down ? key.shifted : key.plain);
    }
  }
  if (keyCode == vk::tab) return std::string(1, shift == Shift::down ? kBackTab : '\t');
  for (const FixedKey& key : kFixedKeys) {
    if (key.keyCode == keyCode) return utf8Of(key.character);
  }
  return std::nullopt;
}

std::uint64_t inherentKeyFlags(std::int64_t keyCode) {
  namespace flags = platform::event_flags;
  if (isArrowKey(keyCode)) return flags::numericPad | flags::function;
  if (isKeypadKey(keyCode)) return flags::numericPad;
  if (isFunctionKey(keyCode)) return flags::function;
  return 0;
}

std::uint64_t modifierFlagOf(std::int64_t keyCode) {
  namespace flags = platform::event_flags;
  switch (keyCode) {
    case vk::shift:
    case vk::rightShift:
      return flags::shift;
    case vk::control:
    case vk::rightControl:
      return flags::control;
    case vk::option:
    case vk::rightOption:
      return flags::option;
    case vk::command:
    case vk::rightCommand:
      return flags::command;
    case vk::capsLock:
      return flags::capsLock;
    case vk::function:
      return flags::function;
    default:
      return 0;
  }
}

}  // namespace deskplay::simdesk
