#include "core/hotkey/hotkey_store.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>
#include <vector>

#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

// What the store told the tap, in order.
class TapRecord final : public StopHotkeyTap {
 public:
  void setStopHotkey(const Hotkey& hotkey) override { hotkeys.push_back(hotkey); }
  void setRecording(bool on) override { recording = on; }

  std::vector<Hotkey> hotkeys;
  bool recording = false;
};

platform::PreferenceData data(const std::string& text) {
  return platform::PreferenceData{{text.begin(), text.end()}};
}

std::string storedText(platform::testing::FakePreferences& preferences) {
  const auto stored = preferences.value(kStopHotkeyKey);
  if (!stored || stored->get<platform::PreferenceData>() == nullptr) return "";
  const auto& bytes = stored->get<platform::PreferenceData>()->bytes;
  return std::string(bytes.begin(), bytes.end());
}

const Hotkey kControlShiftK{40, true, false, true, false, "K"};

struct StoreFixture : ::testing::Test {
  platform::testing::FakePreferences preferences;
  TapRecord tap;
};

TEST_F(StoreFixture, FirstLaunchHasTheDefaultAndStoresNothing) {
  HotkeyStore store(preferences, tap);
  EXPECT_EQ(store.hotkey(), defaultStopHotkey());
  EXPECT_FALSE(store.recording());
  EXPECT_FALSE(store.load());
  EXPECT_FALSE(preferences.value(kStopHotkeyKey));
  EXPECT_TRUE(tap.hotkeys.empty());
}

TEST_F(StoreFixture, ASetHotkeyReachesTheTapAndTheNextLaunch) {
  {
    HotkeyStore store(preferences, tap);
    QSignalSpy changed(&store, &HotkeyStore::hotkeyChanged);
    store.set(kControlShiftK);
    EXPECT_EQ(store.hotkey(), kControlShiftK);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(tap.hotkeys, std::vector<Hotkey>{kControlShiftK});
  }
  EXPECT_EQ(decodeHotkey(storedText(preferences)), kControlShiftK);
  HotkeyStore next(preferences, tap);
  EXPECT_EQ(next.hotkey(), kControlShiftK);
  EXPECT_EQ(next.load(), kControlShiftK);
}

TEST_F(StoreFixture, ResettingToTheDefaultWritesItExplicitly) {
  HotkeyStore store(preferences, tap);
  store.set(defaultStopHotkey());
  EXPECT_EQ(decodeHotkey(storedText(preferences)), defaultStopHotkey());
}

TEST_F(StoreFixture, AHotkeyThatCannotBeEncodedStillWorksButIsNotStored) {
  HotkeyStore store(preferences, tap);
  store.set(kControlShiftK);
  const Hotkey unencodable{0, true, false, false, false, "\xff"};
  store.set(unencodable);
  EXPECT_EQ(store.hotkey(), unencodable);
  EXPECT_EQ(tap.hotkeys.back(), unencodable);
  EXPECT_EQ(decodeHotkey(storedText(preferences)), kControlShiftK);
}

class BadStoredHotkey : public ::testing::TestWithParam<platform::PreferenceValue> {};

TEST_P(BadStoredHotkey, YieldsTheDefaultSilently) {
  platform::testing::FakePreferences preferences;
  TapRecord tap;
  ASSERT_TRUE(preferences.setValue(kStopHotkeyKey, GetParam()).ok());
  HotkeyStore store(preferences, tap);
  EXPECT_FALSE(store.load());
  EXPECT_EQ(store.hotkey(), defaultStopHotkey());
  // The undecodable value is left alone until the user sets a hotkey.
  EXPECT_EQ(preferences.value(kStopHotkeyKey), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadStoredHotkey,
    ::testing::Values(
        platform::PreferenceValue(data("{\"keyCode\":12")),
        platform::PreferenceValue(data(R"({"keyCode":12,"control":true,"option":true})")),
        platform::PreferenceValue(data(R"({"keyCode":0,"control":false,"option":false,)"
                                       R"("shift":false,"command":false,"label":"A"})")),
        // The right text, but not stored as data.
        platform::PreferenceValue(R"({"keyCode":40,"control":true,"option":false,)"
                                  R"("shift":true,"command":false,"label":"K"})"),
        platform::PreferenceValue(true)));

TEST_F(StoreFixture, RecordingSwitchesTheTapAndARecordedHotkeyBecomesTheHotkey) {
  HotkeyStore store(preferences, tap);
  QSignalSpy finished(&store, &HotkeyStore::recordingFinished);
  QSignalSpy recordingChanged(&store, &HotkeyStore::recordingChanged);

  store.startRecording();
  EXPECT_TRUE(store.recording());
  EXPECT_TRUE(tap.recording);

  store.finishRecording(kControlShiftK);
  EXPECT_FALSE(store.recording());
  EXPECT_FALSE(tap.recording);
  EXPECT_EQ(store.hotkey(), kControlShiftK);
  EXPECT_EQ(tap.hotkeys.back(), kControlShiftK);
  EXPECT_EQ(decodeHotkey(storedText(preferences)), kControlShiftK);
  EXPECT_EQ(recordingChanged.count(), 2);
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished[0][0].value<std::optional<Hotkey>>(), kControlShiftK);
}

TEST(HotkeyStoreRecording, EscapeOrTheButtonAgainEndsTheRecordingAndKeepsTheHotkey) {
  for (const bool byButton : {false, true}) {
    platform::testing::FakePreferences preferences;
    TapRecord tap;
    HotkeyStore store(preferences, tap);
    QSignalSpy finished(&store, &HotkeyStore::recordingFinished);
    store.startRecording();
    if (byButton) {
      store.cancelRecording();
    } else {
      store.finishRecording(std::nullopt);
    }
    EXPECT_FALSE(store.recording());
    EXPECT_FALSE(tap.recording);
    EXPECT_EQ(store.hotkey(), defaultStopHotkey());
    EXPECT_TRUE(tap.hotkeys.empty());
    EXPECT_FALSE(preferences.value(kStopHotkeyKey));
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished[0][0].value<std::optional<Hotkey>>(), std::nullopt);
  }
}

TEST_F(StoreFixture, AHandOverAfterTheRecordingWasCancelledIsIgnored) {
  HotkeyStore store(preferences, tap);
  QSignalSpy finished(&store, &HotkeyStore::recordingFinished);
  store.startRecording();
  store.cancelRecording();
  store.finishRecording(kControlShiftK);
  EXPECT_EQ(store.hotkey(), defaultStopHotkey());
  EXPECT_FALSE(preferences.value(kStopHotkeyKey));
  EXPECT_EQ(finished.count(), 1);
}

TEST_F(StoreFixture, SettingAHotkeyWhileRecordingEndsTheRecording) {
  HotkeyStore store(preferences, tap);
  QSignalSpy finished(&store, &HotkeyStore::recordingFinished);
  store.startRecording();
  store.set(defaultStopHotkey());
  EXPECT_FALSE(store.recording());
  EXPECT_FALSE(tap.recording);
  EXPECT_EQ(finished.count(), 1);
}

}  // namespace
}  // namespace deskplay::core
