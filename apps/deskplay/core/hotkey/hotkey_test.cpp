#include "core/hotkey/hotkey.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::core {
namespace {

namespace flags = platform::event_flags;

platform::Event keyEvent(std::int64_t keyCode, std::string ignoringModifiers,
                         std::uint64_t modifiers = 0) {
  platform::Event event;
  event.keyCode = keyCode;
  event.flags = modifiers;
  event.characters = ignoringModifiers;
  event.charactersIgnoringModifiers = std::move(ignoringModifiers);
  return event;
}

struct LabelCase {
  std::int64_t keyCode;
  std::string characters;
  std::string label;
};

class HotkeyLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(HotkeyLabel, NamesThePressedKey) {
  const LabelCase& c = GetParam();
  EXPECT_EQ(hotkeyLabel(c.keyCode, keyEvent(c.keyCode, c.characters)), c.label);
}

INSTANTIATE_TEST_SUITE_P(Keys, HotkeyLabel,
                         ::testing::Values(
                             // The table's keys win over whatever characters they produce.
                             LabelCase{36, "\r", "\u21A9"}, LabelCase{48, "\t", "\u21E5"},
                             LabelCase{49, " ", "Space"}, LabelCase{51, "\x7f", "\u232B"},
                             LabelCase{123, "", "\u2190"}, LabelCase{124, "", "\u2192"},
                             LabelCase{125, "", "\u2193"}, LabelCase{126, "", "\u2191"},
                             // Others: their characters, upper-cased as text, not as bytes.
                             LabelCase{12, "q", "Q"}, LabelCase{18, "1", "1"},
                             LabelCase{41, ";", ";"}, LabelCase{39, "\u00e4", "\u00c4"},
                             LabelCase{27, "\u00df", "SS"},
                             // No characters (a function key): the code.
                             LabelCase{122, "", "Key 122"}, LabelCase{0, "", "Key 0"}));

TEST(HotkeyLabel, IgnoresTheModifiersHeld) {
  platform::Event event = keyEvent(0, "a", flags::shift | flags::option);
  event.characters = "\u00c5";
  EXPECT_EQ(hotkeyLabel(0, event), "A");
}

TEST(HotkeyOfEvent, TakesTheCodeTheFourModifiersAndTheLabel) {
  const Hotkey hotkey =
      hotkeyOfEvent(keyEvent(40, "k", flags::control | flags::shift | flags::capsLock));
  EXPECT_EQ(hotkey, (Hotkey{40, true, false, true, false, "K"}));
}

struct DisplayCase {
  Hotkey hotkey;
  std::string display;
};

class HotkeyDisplay : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(HotkeyDisplay, ShowsTheModifiersInFixedOrderThenTheLabel) {
  EXPECT_EQ(GetParam().hotkey.display(), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, HotkeyDisplay,
    ::testing::Values(DisplayCase{defaultStopHotkey(), "\u2303\u2325Q"},
                      DisplayCase{{0, true, true, true, true, "A"}, "\u2303\u2325\u21E7\u2318A"},
                      DisplayCase{{49, false, false, true, false, "Space"}, "\u21E7Space"},
                      DisplayCase{{122, false, false, false, true, "Key 122"}, "\u2318Key 122"},
                      DisplayCase{{1, false, true, false, true, "S"}, "\u2325\u2318S"}));

TEST(DefaultStopHotkey, IsControlOptionQ) {
  EXPECT_EQ(defaultStopHotkey(), (Hotkey{12, true, true, false, false, "Q"}));
}

TEST(HotkeyJson, RoundTripsEveryField) {
  for (const Hotkey& hotkey : {defaultStopHotkey(), Hotkey{126, false, false, true, true, "\u2191"},
                               Hotkey{0, false, true, false, false, "\u00c5"},
                               Hotkey{65535, true, false, false, false, "Key 65535"}}) {
    const auto encoded = encodeHotkey(hotkey);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(decodeHotkey(*encoded), hotkey) << *encoded;
  }
}

TEST(HotkeyJson, UsesTheFixedKeys) {
  EXPECT_EQ(decodeHotkey(R"({"label":"X","command":true,"shift":false,"option":false,)"
                         R"("control":true,"keyCode":7,"extra":[1]})"),
            (Hotkey{7, true, false, false, true, "X"}));
}

TEST(HotkeyJson, ALabelThatIsNotTextIsNotEncoded) {
  EXPECT_FALSE(encodeHotkey(Hotkey{0, true, false, false, false, "\xff\xfe"}));
}

class HotkeyJsonRejects : public ::testing::TestWithParam<std::string> {};

TEST_P(HotkeyJsonRejects, TheWholeRecord) {
  EXPECT_FALSE(decodeHotkey(GetParam())) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    BadRecords, HotkeyJsonRejects,
    ::testing::Values(
        "", "not json", "[12]", "null",
        R"({"control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12,"control":true,"option":true,"shift":false,"command":false})",
        R"({"keyCode":"12","control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12.5,"control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12,"control":1,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12,"control":true,"option":true,"shift":false,"command":false,"label":5})",
        R"({"keyCode":12,"Control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        // Never recordable: a plain key would end every game; a code no key has, none.
        R"({"keyCode":0,"control":false,"option":false,"shift":false,"command":false,"label":"A"})",
        R"({"keyCode":-1,"control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":65536,"control":true,"option":true,"shift":false,"command":false,"label":"Q"})",
        R"({"keyCode":12,"control":true,"option":true,"shift":false,"command":false,"label":"Q","x":1e400})",
        std::string(
            R"({"keyCode":12,"control":true,"option":true,"shift":false,"command":false,"label":"Q"})") +
            std::string(1, '\0') + "junk"));

}  // namespace
}  // namespace deskplay::core
