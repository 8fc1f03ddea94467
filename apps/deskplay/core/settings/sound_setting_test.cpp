#include "core/settings/sound_setting.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <vector>

#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

using platform::PreferenceValue;

struct SoundSettingTest : ::testing::Test {
  platform::testing::FakePreferences preferences;
  std::vector<bool> announced;
  SoundSetting sounds{preferences, [this](bool muted) { announced.push_back(muted); }};
};

TEST_F(SoundSettingTest, StoredValueOrOnDecidesTheSwitch) {
  struct Case {
    const char* name;
    std::optional<PreferenceValue> stored;
    bool enabled;
  };
  const std::vector<Case> cases = {
      {"absent", std::nullopt, true},           {"true", PreferenceValue(true), true},
      {"false", PreferenceValue(false), false}, {"text", PreferenceValue("no"), true},
      {"number", PreferenceValue(0), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.stored) {
      ASSERT_TRUE(preferences.setValue(kSoundsEnabledKey, *c.stored).ok());
    } else {
      ASSERT_TRUE(preferences.removeValue(kSoundsEnabledKey).ok());
    }
    EXPECT_EQ(sounds.enabled(), c.enabled);
  }
}

TEST_F(SoundSettingTest, EachChangeIsStoredAndAnnouncedOnce) {
  QSignalSpy changed(&sounds, &SoundSetting::enabledChanged);
  sounds.setEnabled(false);
  sounds.setEnabled(false);
  EXPECT_EQ(preferences.value(kSoundsEnabledKey), PreferenceValue(false));
  sounds.setEnabled(true);
  EXPECT_EQ(preferences.value(kSoundsEnabledKey), PreferenceValue(true));
  EXPECT_EQ(announced, (std::vector<bool>{true, false}));
  EXPECT_EQ(changed.count(), 2);
}

TEST_F(SoundSettingTest, TurningOnWhatIsAlreadyOnAnnouncesNothing) {
  sounds.setEnabled(true);
  EXPECT_TRUE(announced.empty());
  EXPECT_FALSE(preferences.value(kSoundsEnabledKey).has_value());
}

}  // namespace
}  // namespace deskplay::core
