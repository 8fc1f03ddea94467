#include "sim/simdesk/keymap/us_layout.hpp"

#include <gtest/gtest.h>

#include "platform/event_taps.hpp"

namespace deskplay::simdesk {
namespace {

namespace flags = platform::event_flags;

// The US keyboard's printing keys in the order of their virtual key codes, plain and
// shifted; '\0' marks codes that are not printing keys (the ISO section key, Return, Tab).
struct KeyRow {
  std::int64_t firstCode;
  std::string_view plain;
  std::string_view shifted;
};
constexpr KeyRow kRows[] = {
    {0x00, "asdfhgzxcv", "ASDFHGZXCV"},
    {0x0B, "bqweryt123465=97-80]ou[ip", "BQWERYT!@#$^%+(&_*)}OU{IP"},
    {0x25, "lj'k;\\,/nm.", "LJ\"K:|<?NM>"},
    {0x31, " `", " ~"},
};

TEST(UsLayoutTest, EveryPrintingKeyTypesItsCharacterPlainAndShifted) {
  for (const KeyRow& row : kRows) {
    for (std::size_t at = 0; at < row.plain.size(); ++at) {
      const std::int64_t keyCode = row.firstCode + static_cast<std::int64_t>(at);
      const std::string plain(1, row.plain[at]);
      const std::string shifted(1, row.shifted[at]);
      SCOPED_TRACE("key code " + std::to_string(keyCode) + " " + plain + shifted);

      const bool space = plain == " ";
      EXPECT_EQ(usKeyStrokeFor(static_cast<char32_t>(row.plain[at])),
                (KeyStroke{keyCode, false, plain, plain}));
      if (!space) {
        EXPECT_EQ(usKeyStrokeFor(static_cast<char32_t>(row.shifted[at])),
                  (KeyStroke{keyCode, true, shifted, shifted}));
      }
      EXPECT_EQ(usCharactersFor(keyCode, Shift::up), plain);
      EXPECT_EQ(usCharactersFor(keyCode, Shift::down), shifted);
      EXPECT_EQ(inherentKeyFlags(keyCode), 0u);
    }
  }
}

TEST(UsLayoutTest, EveryPrintableAsciiCharacterHasAKeyStroke) {
  for (char32_t character = 0x20; character < 0x7F; ++character) {
    const auto stroke = usKeyStrokeFor(character);
    ASSERT_TRUE(stroke.has_value()) << static_cast<char>(character);
    EXPECT_EQ(stroke->characters, std::string(1, static_cast<char>(character)));
  }
}

TEST(UsLayoutTest, ControlCharactersTypeTheirKeys) {
  const struct {
    char32_t character;
    KeyStroke stroke;
  } cases[] = {
      {U'\n', {36, false, "\r", "\r"}},    {U'\r', {36, false, "\r", "\r"}},
      {U'\t', {48, false, "\t", "\t"}},    {0x1B, {53, false, "\x1b", "\x1b"}},
      {0x7F, {51, false, "\x7f", "\x7f"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(usKeyStrokeFor(c.character), c.stroke) << static_cast<int>(c.character);
  }
}

TEST(UsLayoutTest, CharactersWithoutAKeyHaveNone) {
  for (char32_t character :
       {char32_t{0}, char32_t{0x08}, char32_t{0x80}, U'é', U'€', char32_t{0xF700}, U'😀',
        char32_t{0xD800}, char32_t{0x110000}, char32_t{0x41 + 0x10000}}) {
    EXPECT_FALSE(usKeyStrokeFor(character).has_value()) << static_cast<std::uint32_t>(character);
  }
}

TEST(UsLayoutTest, SpecialKeysCarryTheMacCharactersAndFlags) {
  const struct {
    std::int64_t keyCode;
    Shift shift;
    std::optional<std::string> characters;
    std::uint64_t flags;
  } cases[] = {
      {36, Shift::up, "\r", 0},
      {48, Shift::up, "\t", 0},
      {48, Shift::down, "\x19", 0},
      {49, Shift::up, " ", 0},
      {51, Shift::up, "\x7f", 0},
      {53, Shift::up, "\x1b", 0},
      {117, Shift::up, "\uF728", flags::function},
      {123, Shift::up, "\uF702", flags::numericPad | flags::function},
      {124, Shift::up, "\uF703", flags::numericPad | flags::function},
      {125, Shift::up, "\uF701", flags::numericPad | flags::function},
      {126, Shift::down, "\uF700", flags::numericPad | flags::function},
      {122, Shift::up, "\uF704", flags::function},  // F1
      {120, Shift::up, "\uF705", flags::function},  // F2
      {99, Shift::up, "\uF706", flags::function},   // F3
      {118, Shift::up, "\uF707", flags::function},  // F4
      {96, Shift::up, "\uF708", flags::function},   // F5
      {97, Shift::up, "\uF709", flags::function},   // F6
      {98, Shift::up, "\uF70A", flags::function},   // F7
      {100, Shift::up, "\uF70B", flags::function},  // F8
      {101, Shift::up, "\uF70C", flags::function},  // F9
      {109, Shift::up, "\uF70D", flags::function},  // F10
      {103, Shift::up, "\uF70E", flags::function},  // F11
      {111, Shift::up, "\uF70F", flags::function},  // F12
      {115, Shift::up, "\uF729", flags::function},  // Home
      {119, Shift::up, "\uF72B", flags::function},  // End
      {116, Shift::up, "\uF72C", flags::function},  // Page Up
      {121, Shift::up, "\uF72D", flags::function},  // Page Down
      {76, Shift::up, "\x03", flags::numericPad},   // keypad Enter
      {83, Shift::up, "1", flags::numericPad},      // keypad 1
      {65, Shift::up, ".", flags::numericPad},      // keypad decimal
      {56, Shift::down, std::nullopt, 0},           // Shift itself
      {55, Shift::up, std::nullopt, 0},             // Command
      {0x0A, Shift::up, std::nullopt, 0},           // no such key on a US keyboard
      {-1, Shift::up, std::nullopt, 0},
      {500, Shift::up, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(usCharactersFor(c.keyCode, c.shift), c.characters) << c.keyCode;
    EXPECT_EQ(inherentKeyFlags(c.keyCode), c.flags) << c.keyCode;
  }
}

TEST(UsLayoutTest, ModifierKeysHoldTheirFlag) {
  const struct {
    std::int64_t keyCode;
    std::uint64_t flag;
  } cases[] = {
      {56, flags::shift},
      {60, flags::shift},
      {59, flags::control},
      {62, flags::control},
      {58, flags::option},
      {61, flags::option},
      {55, flags::command},
      {54, flags::command},
      {57, flags::capsLock},
      {63, flags::function},
      {0, 0},
      {36, 0},
      {126, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(modifierFlagOf(c.keyCode), c.flag) << c.keyCode;
}

}  // namespace
}  // namespace deskplay::simdesk
