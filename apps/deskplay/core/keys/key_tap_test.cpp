#include "core/keys/key_tap.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_privacy_checks.hpp"
#include "platform/testing/fake_workspace.hpp"

namespace deskplay::core {
namespace {

namespace flags = platform::event_flags;
using platform::EventType;
using platform::TapVerdict;
using Access = platform::PrivacyChecks::Access;

constexpr std::int64_t kA = 0;
constexpr std::int64_t kQ = 12;
constexpr std::int64_t kX = 7;
constexpr std::int64_t kF1 = 122;
constexpr std::int64_t kEscape = 53;

platform::Event key(EventType type, std::int64_t keyCode, std::string ignoringModifiers,
                    std::uint64_t modifiers = 0) {
  platform::Event event;
  event.type = type;
  event.keyCode = keyCode;
  event.flags = modifiers;
  event.charactersIgnoringModifiers = ignoringModifiers;
  event.characters = std::move(ignoringModifiers);
  return event;
}

platform::Event down(std::int64_t keyCode, std::string characters, std::uint64_t modifiers = 0) {
  return key(EventType::keyDown, keyCode, std::move(characters), modifiers);
}

platform::Event up(std::int64_t keyCode, std::string characters, std::uint64_t modifiers = 0) {
  return key(EventType::keyUp, keyCode, std::move(characters), modifiers);
}

void runMainQueue() {
  QCoreApplication::processEvents();
}

struct Delivered {
  int keyCode;
  std::string characters;
  friend bool operator==(const Delivered&, const Delivered&) = default;
};

// A key tap over fakes, with every callback recorded.
struct TapFixture {
  TapFixture() {
    tap.setOnEvent([this](int code, const std::string& characters) {
      delivered.push_back({code, characters});
    });
    tap.setOnStopHotkey([this] { ++stops; });
    tap.setOnHotkeyRecorded(
        [this](const std::optional<Hotkey>& recorded) { recordings.push_back(recorded); });
  }

  platform::testing::FakeEventTaps eventTaps;
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakePrivacyChecks privacy;
  platform::testing::FakeWorkspace workspace;
  KeyTap tap{{eventTaps, accessibility, privacy, workspace}};
  std::vector<Delivered> delivered;
  int stops = 0;
  std::vector<std::optional<Hotkey>> recordings;
};

TEST(KeyTapStart, InstallsOneActiveTapAtTheHeadForKeyDownAndUp) {
  TapFixture f;
  EXPECT_FALSE(f.tap.trusted());
  EXPECT_EQ(f.tap.lastKeyCode(), -1);
  EXPECT_EQ(f.tap.count(), 0);
  // Another program's tap, made earlier: ours goes in front of it and can keep keys from it.
  int olderTapSaw = 0;
  auto older = f.eventTaps.createSessionTap(KeyTap::kKeyMask, [&](const platform::Event&) {
    ++olderTapSaw;
    return TapVerdict::pass;
  });
  older->enable();

  f.tap.start();
  EXPECT_TRUE(f.tap.trusted());
  EXPECT_TRUE(f.tap.installed());
  EXPECT_EQ(f.eventTaps.tapCount(), 2);
  EXPECT_EQ(f.eventTaps.enabledTapCount(), 2);
  EXPECT_EQ(f.eventTaps.maskOfNewestTap(), platform::EventMask{3072});

  f.tap.setCapturing(true);
  EXPECT_EQ(f.eventTaps.inject(down(kA, "a")), TapVerdict::swallow);
  EXPECT_EQ(olderTapSaw, 0);

  f.tap.start();
  EXPECT_EQ(f.eventTaps.tapCount(), 2);
}

struct TrustCase {
  bool accessibility;
  Access inputMonitoring;
  bool trusted;
};

class KeyTapTrust : public ::testing::TestWithParam<TrustCase> {};

TEST_P(KeyTapTrust, IsAccessibilityOrInputMonitoring) {
  TapFixture f;
  f.accessibility.setTrusted(GetParam().accessibility);
  f.privacy.setAccess(GetParam().inputMonitoring);
  f.tap.start();
  EXPECT_EQ(f.tap.trusted(), GetParam().trusted);
  EXPECT_EQ(f.accessibility.prompts(), 0);
}

INSTANTIATE_TEST_SUITE_P(Permissions, KeyTapTrust,
                         ::testing::Values(TrustCase{true, Access::denied, true},
                                           TrustCase{false, Access::granted, true},
                                           TrustCase{true, Access::granted, true},
                                           TrustCase{false, Access::denied, false},
                                           TrustCase{false, Access::unknown, false}));

TEST(KeyTapStart, WithoutPermissionInstallsNothingAndALaterStartDoes) {
  TapFixture f;
  f.accessibility.setTrusted(false);
  f.privacy.setAccess(Access::denied);
  f.eventTaps.refuseTaps(true);
  QSignalSpy trustedChanged(&f.tap, &KeyTap::trustedChanged);
  f.tap.start();
  EXPECT_FALSE(f.tap.trusted());
  EXPECT_FALSE(f.tap.installed());
  EXPECT_EQ(f.eventTaps.tapCount(), 0);
  EXPECT_EQ(trustedChanged.count(), 0);

  f.accessibility.setTrusted(true);
  f.eventTaps.refuseTaps(false);
  f.tap.start();
  EXPECT_TRUE(f.tap.trusted());
  EXPECT_TRUE(f.tap.installed());
  EXPECT_EQ(f.eventTaps.tapCount(), 1);
  EXPECT_EQ(trustedChanged.count(), 1);

  // Every start recomputes the permission, even with the tap in place.
  f.accessibility.setTrusted(false);
  f.privacy.setAccess(Access::denied);
  f.tap.start();
  EXPECT_FALSE(f.tap.trusted());
  EXPECT_EQ(trustedChanged.count(), 2);
}

TEST(KeyTapStart, TheTapGoesWithTheObject) {
  platform::testing::FakeEventTaps eventTaps;
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakePrivacyChecks privacy;
  platform::testing::FakeWorkspace workspace;
  {
    KeyTap tap({eventTaps, accessibility, privacy, workspace});
    tap.start();
    EXPECT_EQ(eventTaps.tapCount(), 1);
  }
  EXPECT_EQ(eventTaps.tapCount(), 0);
  EXPECT_EQ(eventTaps.inject(down(kA, "a")), TapVerdict::pass);
}

// One key event outside a recording, and what must follow from it.
struct KeyCase {
  std::string name;
  bool capturing;
  platform::Event event;
  TapVerdict verdict;
  std::vector<Delivered> delivered;  // to the game, at once
  bool counted;
  bool stops;
};

class KeyTapCallback : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTapCallback, DecidesTheEventsFate) {
  const KeyCase& c = GetParam();
  TapFixture f;
  f.tap.start();
  f.tap.setCapturing(c.capturing);
  QSignalSpy counted(&f.tap, &KeyTap::countChanged);

  EXPECT_EQ(f.eventTaps.inject(c.event), c.verdict);
  EXPECT_EQ(f.delivered, c.delivered);
  // Counters and the stop action wait for the main queue.
  EXPECT_EQ(f.tap.count(), 0);
  EXPECT_EQ(f.stops, 0);

  runMainQueue();
  EXPECT_EQ(f.tap.count(), c.counted ? 1 : 0);
  EXPECT_EQ(f.tap.lastKeyCode(), c.counted ? c.event.keyCode : -1);
  EXPECT_EQ(counted.count(), c.counted ? 1 : 0);
  EXPECT_EQ(f.stops, c.stops ? 1 : 0);
  EXPECT_TRUE(f.recordings.empty());
}

const std::uint64_t kControlOption = flags::control | flags::option;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTapCallback,
    ::testing::Values(
        KeyCase{"GameKeyGoesToTheGameOnly",
                true,
                down(kA, "a"),
                TapVerdict::swallow,
                {{0, "a"}},
                true,
                false},
        KeyCase{"ShiftedKeyGivesItsPlainCharacters",
                true,
                down(kA, "a", flags::shift),
                TapVerdict::swallow,
                {{0, "a"}},
                true,
                false},
        KeyCase{"KeyWithoutCharactersGivesEmptyText",
                true,
                down(kF1, ""),
                TapVerdict::swallow,
                {{122, ""}},
                true,
                false},
        KeyCase{
            "IdleKeyPassesAndIsCounted", false, down(kA, "a"), TapVerdict::pass, {}, true, false},
        KeyCase{"CommandQPassesUntouched",
                true,
                down(kQ, "q", flags::command),
                TapVerdict::pass,
                {},
                false,
                false},
        KeyCase{"GameKeyUpIsSwallowed", true, up(kA, "a"), TapVerdict::swallow, {}, false, false},
        KeyCase{"CommandKeyUpPasses",
                true,
                up(kQ, "q", flags::command),
                TapVerdict::pass,
                {},
                false,
                false},
        KeyCase{"IdleKeyUpPasses", false, up(kA, "a"), TapVerdict::pass, {}, false, false},
        KeyCase{"StopHotkeyStopsTheGame",
                true,
                down(kQ, "q", kControlOption),
                TapVerdict::swallow,
                {},
                false,
                true},
        KeyCase{"CapsLockIsNoModifierOfTheHotkey",
                true,
                down(kQ, "q", kControlOption | flags::capsLock),
                TapVerdict::swallow,
                {},
                false,
                true},
        KeyCase{"StopHotkeyWithAnExtraModifierGoesToTheGame",
                true,
                down(kQ, "q", kControlOption | flags::shift),
                TapVerdict::swallow,
                {{12, "q"}},
                true,
                false},
        KeyCase{"StopHotkeyWithAModifierMissingGoesToTheGame",
                true,
                down(kQ, "q", flags::control),
                TapVerdict::swallow,
                {{12, "q"}},
                true,
                false},
        KeyCase{"StopHotkeyWithCommandAddedPasses",
                true,
                down(kQ, "q", kControlOption | flags::command),
                TapVerdict::pass,
                {},
                false,
                false},
        KeyCase{"StopHotkeyWhenIdlePasses",
                false,
                down(kQ, "q", kControlOption),
                TapVerdict::pass,
                {},
                true,
                false}),
    [](const ::testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

TEST(KeyTapCallback, AStopHotkeyWithCommandStillStops) {
  TapFixture f;
  f.tap.start();
  f.tap.setCapturing(true);
  f.tap.setStopHotkey(Hotkey{kX, false, false, true, true, "X"});
  EXPECT_EQ(f.eventTaps.inject(down(kX, "x", flags::shift | flags::command)), TapVerdict::swallow);
  // The old hotkey is an ordinary key now.
  EXPECT_EQ(f.eventTaps.inject(down(kQ, "q", kControlOption)), TapVerdict::swallow);
  runMainQueue();
  EXPECT_EQ(f.stops, 1);
  EXPECT_EQ(f.delivered, (std::vector<Delivered>{{12, "q"}}));
}

TEST(KeyTapCallback, CountsEveryCountedKeyInOrder) {
  TapFixture f;
  f.tap.start();
  f.tap.setCapturing(true);
  for (const auto& event : {down(kA, "a"), up(kA, "a"), down(kX, "x"),
                            down(kQ, "q", flags::command), down(kQ, "q", kControlOption)}) {
    f.eventTaps.inject(event);
  }
  runMainQueue();
  EXPECT_EQ(f.tap.count(), 2);
  EXPECT_EQ(f.tap.lastKeyCode(), kX);
  EXPECT_EQ(f.delivered, (std::vector<Delivered>{{0, "a"}, {7, "x"}}));
}

TEST(KeyTapCallback, CapturingStopsWhenSwitchedOff) {
  TapFixture f;
  f.tap.start();
  f.tap.setCapturing(true);
  EXPECT_EQ(f.eventTaps.inject(down(kA, "a")), TapVerdict::swallow);
  f.tap.setCapturing(false);
  EXPECT_EQ(f.eventTaps.inject(down(kA, "a")), TapVerdict::pass);
  EXPECT_EQ(f.eventTaps.inject(up(kA, "a")), TapVerdict::pass);
  EXPECT_EQ(f.delivered.size(), 1u);
}

TEST(KeyTapCallback, WithoutCallbacksStillDecides) {
  platform::testing::FakeEventTaps eventTaps;
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakePrivacyChecks privacy;
  platform::testing::FakeWorkspace workspace;
  KeyTap tap({eventTaps, accessibility, privacy, workspace});
  tap.start();
  tap.setCapturing(true);
  EXPECT_EQ(eventTaps.inject(down(kA, "a")), TapVerdict::swallow);
  EXPECT_EQ(eventTaps.inject(down(kQ, "q", kControlOption)), TapVerdict::swallow);
  tap.setRecording(true);
  EXPECT_EQ(eventTaps.inject(down(kEscape, "\x1b")), TapVerdict::swallow);
  runMainQueue();
  EXPECT_EQ(tap.count(), 1);
}

TEST(KeyTapCallback, ADisabledTapIsEnabledAgain) {
  for (const bool byTimeout : {true, false}) {
    TapFixture f;
    f.tap.start();
    f.tap.setCapturing(true);
    if (byTimeout) {
      f.eventTaps.disableTapsByTimeout();
    } else {
      f.eventTaps.disableTapsByUserInput();
    }
    EXPECT_EQ(f.eventTaps.enabledTapCount(), 1);
    EXPECT_EQ(f.eventTaps.inject(down(kA, "a")), TapVerdict::swallow);
    runMainQueue();
    EXPECT_EQ(f.delivered.size(), 1u);
    // The notice itself is no key.
    EXPECT_EQ(f.tap.count(), 1);
  }
}

// One key event while recording, and the hand-over it makes.
struct RecordCase {
  std::string name;
  platform::Event event;
  std::optional<std::optional<Hotkey>> handedOver;  // outer nothing: no hand-over
};

class KeyTapRecording : public ::testing::TestWithParam<RecordCase> {};

TEST_P(KeyTapRecording, SwallowsEveryKeyAndHandsOverCombinations) {
  const RecordCase& c = GetParam();
  for (const bool capturing : {false, true}) {
    TapFixture f;
    f.tap.start();
    f.tap.setCapturing(capturing);
    f.tap.setRecording(true);
    EXPECT_EQ(f.eventTaps.inject(c.event), TapVerdict::swallow);
    EXPECT_TRUE(f.recordings.empty());
    runMainQueue();
    if (c.handedOver) {
      EXPECT_EQ(f.recordings, (std::vector<std::optional<Hotkey>>{*c.handedOver}));
    } else {
      EXPECT_TRUE(f.recordings.empty());
    }
    // Recording keys are neither the game's nor counted, and never stop it.
    EXPECT_TRUE(f.delivered.empty());
    EXPECT_EQ(f.tap.count(), 0);
    EXPECT_EQ(f.stops, 0);
    // The store ends a recording; the tap keeps recording until told.
    EXPECT_TRUE(f.tap.recording());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTapRecording,
    ::testing::Values(
        RecordCase{"EscapeCancels", down(kEscape, "\x1b"), std::optional<Hotkey>()},
        RecordCase{"EscapeWithModifiersCancelsToo", down(kEscape, "\x1b", flags::control),
                   std::optional<Hotkey>()},
        RecordCase{"PlainKeyIsIgnored", down(kA, "a"), std::nullopt},
        RecordCase{"CapsLockAloneIsNoModifier", down(kA, "a", flags::capsLock), std::nullopt},
        RecordCase{"KeyUpIsSwallowedOnly", up(kX, "x", flags::control), std::nullopt},
        RecordCase{"ShiftAloneCounts", down(kX, "x", flags::shift),
                   std::optional<Hotkey>(Hotkey{7, false, false, true, false, "X"})},
        RecordCase{"AllFourModifiers",
                   down(kX, "x", flags::control | flags::option | flags::shift | flags::command),
                   std::optional<Hotkey>(Hotkey{7, true, true, true, true, "X"})},
        RecordCase{"TheStopHotkeyItself", down(kQ, "q", kControlOption),
                   std::optional<Hotkey>(Hotkey{12, true, true, false, false, "Q"})},
        RecordCase{"KeyWithoutCharacters", down(kF1, "", flags::option),
                   std::optional<Hotkey>(Hotkey{122, false, true, false, false, "Key 122"})},
        RecordCase{"TableKey", down(49, " ", flags::control),
                   std::optional<Hotkey>(Hotkey{49, true, false, false, false, "Space"})}),
    [](const ::testing::TestParamInfo<RecordCase>& param) { return param.param.name; });

TEST(KeyTapRecording, APlainKeyLeavesRecordingOnForTheNextCombination) {
  TapFixture f;
  f.tap.start();
  f.tap.setRecording(true);
  f.eventTaps.inject(down(kA, "a"));
  f.eventTaps.inject(down(kA, "a", flags::control));
  runMainQueue();
  EXPECT_EQ(f.recordings,
            (std::vector<std::optional<Hotkey>>{Hotkey{0, true, false, false, false, "A"}}));
}

TEST(KeyTapPrompt, AsksTheSystemAndOpensTheAccessibilityPane) {
  TapFixture f;
  f.accessibility.setTrusted(false);
  f.tap.promptForPermission();
  EXPECT_EQ(f.accessibility.prompts(), 1);
  EXPECT_EQ(f.workspace.openedUrls(),
            std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
}

}  // namespace
}  // namespace deskplay::core
