#include "sim/simdesk/keymap/qt_key_map.hpp"

#include <gtest/gtest.h>

#include "platform/event_taps.hpp"
#include "sim/simdesk/keymap/us_layout.hpp"

namespace deskplay::simdesk {
namespace {

namespace flags = platform::event_flags;

TEST(QtKeyMapTest, ModifiersBecomeEventFlags) {
  const struct {
    Qt::KeyboardModifiers modifiers;
    std::uint64_t flags;
  } cases[] = {
      {Qt::NoModifier, 0},
      {Qt::ShiftModifier, flags::shift},
      {Qt::ControlModifier, flags::control},
      {Qt::AltModifier, flags::option},
      {Qt::MetaModifier, flags::command},
      {Qt::KeypadModifier, 0},
      {Qt::ControlModifier | Qt::AltModifier, flags::control | flags::option},
      {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier,
       flags::shift | flags::control | flags::option | flags::command},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(eventFlagsFor(c.modifiers), c.flags) << c.modifiers.toInt();
  }
}

TEST(QtKeyMapTest, KeysBecomeMacKeys) {
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    std::optional<MacKey> mac;
  } cases[] = {
      {Qt::Key_A, Qt::NoModifier, MacKey{0, 0, "a", "a"}},
      {Qt::Key_A, Qt::ShiftModifier, MacKey{0, flags::shift, "A", "A"}},
      {Qt::Key_A, Qt::ControlModifier, MacKey{0, flags::control, "\x01", "a"}},
      {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier,
       MacKey{0, flags::control | flags::shift, "\x01", "A"}},
      {Qt::Key_A, Qt::MetaModifier, MacKey{0, flags::command, "a", "a"}},
      {Qt::Key_A, Qt::AltModifier, MacKey{0, flags::option, "a", "a"}},
      {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier,
       MacKey{12, flags::control | flags::option, "\x11", "q"}},
      {Qt::Key_BracketLeft, Qt::ControlModifier, MacKey{33, flags::control, "\x1b", "["}},
      {Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier,
       MacKey{19, flags::control | flags::shift, std::string(1, '\0'), "@"}},
      {Qt::Key_1, Qt::ControlModifier, MacKey{18, flags::control, "1", "1"}},
      {Qt::Key_1, Qt::NoModifier, MacKey{18, 0, "1", "1"}},
      {Qt::Key_Exclam, Qt::ShiftModifier, MacKey{18, flags::shift, "!", "!"}},
      {Qt::Key_Question, Qt::ShiftModifier, MacKey{44, flags::shift, "?", "?"}},
      {Qt::Key_QuoteLeft, Qt::NoModifier, MacKey{50, 0, "`", "`"}},
      {Qt::Key_1, Qt::KeypadModifier, MacKey{83, flags::numericPad, "1", "1"}},
      {Qt::Key_Asterisk, Qt::KeypadModifier, MacKey{67, flags::numericPad, "*", "*"}},
      {Qt::Key_Enter, Qt::KeypadModifier, MacKey{76, flags::numericPad, "\x03", "\x03"}},
      {Qt::Key_Return, Qt::NoModifier, MacKey{36, 0, "\r", "\r"}},
      {Qt::Key_Tab, Qt::NoModifier, MacKey{48, 0, "\t", "\t"}},
      {Qt::Key_Backtab, Qt::ShiftModifier, MacKey{48, flags::shift, "\x19", "\x19"}},
      {Qt::Key_Space, Qt::NoModifier, MacKey{49, 0, " ", " "}},
      {Qt::Key_Backspace, Qt::NoModifier, MacKey{51, 0, "\x7f", "\x7f"}},
      {Qt::Key_Delete, Qt::NoModifier, MacKey{117, flags::function, "\uF728", "\uF728"}},
      {Qt::Key_Escape, Qt::NoModifier, MacKey{53, 0, "\x1b", "\x1b"}},
      {Qt::Key_Left, Qt::NoModifier,
       MacKey{123, flags::numericPad | flags::function, "\uF702", "\uF702"}},
      {Qt::Key_Right, Qt::NoModifier,
       MacKey{124, flags::numericPad | flags::function, "\uF703", "\uF703"}},
      {Qt::Key_Down, Qt::NoModifier,
       MacKey{125, flags::numericPad | flags::function, "\uF701", "\uF701"}},
      {Qt::Key_Up, Qt::ShiftModifier,
       MacKey{126, flags::shift | flags::numericPad | flags::function, "\uF700", "\uF700"}},
      {Qt::Key_Up, Qt::ControlModifier,
       MacKey{126, flags::control | flags::numericPad | flags::function, "\uF700", "\uF700"}},
      {Qt::Key_F1, Qt::NoModifier, MacKey{122, flags::function, "\uF704", "\uF704"}},
      {Qt::Key_F12, Qt::NoModifier, MacKey{111, flags::function, "\uF70F", "\uF70F"}},
      {Qt::Key_Shift, Qt::ShiftModifier, MacKey{56, flags::shift, "", ""}},
      {Qt::Key_Control, Qt::ControlModifier, MacKey{59, flags::control, "", ""}},
      {Qt::Key_Alt, Qt::AltModifier, MacKey{58, flags::option, "", ""}},
      {Qt::Key_Meta, Qt::MetaModifier, MacKey{55, flags::command, "", ""}},
      {Qt::Key_VolumeUp, Qt::NoModifier, std::nullopt},
      {Qt::Key_Eacute, Qt::NoModifier, std::nullopt},
      {Qt::Key_unknown, Qt::NoModifier, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(macKeyFor(c.key, c.modifiers), c.mac) << std::hex << c.key;
  }
}

// Qt names printing keys by the character they type: each one must land on the key the US
// layout types that character with, F-keys on theirs.
TEST(QtKeyMapTest, EveryPrintingAndFunctionKeyIsFound) {
  for (int key = 0x21; key < 0x7F; ++key) {
    if (key >= 'a' && key <= 'z') continue;  // Qt has no lower-case key names
    const char32_t character =
        static_cast<char32_t>((key >= 'A' && key <= 'Z') ? key + ('a' - 'A') : key);
    const auto mac = macKeyFor(key, Qt::NoModifier);
    ASSERT_TRUE(mac.has_value()) << static_cast<char>(key);
    EXPECT_EQ(mac->keyCode, usKeyStrokeFor(character)->keyCode) << static_cast<char>(key);
  }
  const std::int64_t fKeys[] = {122, 120, 99,  118, 96,  97,  98, 100, 101, 109,
                                103, 111, 105, 107, 113, 106, 64, 79,  80,  90};
  for (int n = 0; n < 20; ++n) {
    const auto mac = macKeyFor(Qt::Key_F1 + n, Qt::NoModifier);
    ASSERT_TRUE(mac.has_value()) << "F" << n + 1;
    EXPECT_EQ(mac->keyCode, fKeys[n]) << "F" << n + 1;
  }
}

}  // namespace
}  // namespace deskplay::simdesk
