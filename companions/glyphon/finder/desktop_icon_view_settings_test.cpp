#include "finder/desktop_icon_view_settings.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_preferences.hpp"

namespace deskplay::glyphon {
namespace {

using platform::PreferenceDictionary;
using platform::PreferenceValue;
using platform::testing::FakePreferences;

const std::string kDomain(kFinderDomain);

PreferenceDictionary storedIconViewSettings(const FakePreferences& preferences) {
  const auto desktop = preferences.storedDomainValue(kDomain, "DesktopViewSettings");
  if (!desktop || !desktop->get<PreferenceDictionary>()) return {};
  const auto& entries = *desktop->get<PreferenceDictionary>();
  const auto iconView = entries.find("IconViewSettings");
  if (iconView == entries.end() || !iconView->second.get<PreferenceDictionary>()) return {};
  return *iconView->second.get<PreferenceDictionary>();
}

TEST(WriteDesktopIconViewSettings, CreatesTheDictionariesWhenAbsent) {
  FakePreferences preferences;
  const PreferenceDictionary settings{{"gridSpacing", 80.0}, {"textSize", 12}};
  EXPECT_TRUE(writeDesktopIconViewSettings(preferences, settings));
  EXPECT_EQ(storedIconViewSettings(preferences), settings);
  EXPECT_EQ(preferences.synchronizeCount(), 1);
}

TEST(WriteDesktopIconViewSettings, ReplacesOnlyTheGivenKeys) {
  FakePreferences preferences;
  preferences.storeDomainValue(
      kDomain, "DesktopViewSettings",
      PreferenceDictionary{
          {"GroupBy", "Kind"},
          {"IconViewSettings", PreferenceDictionary{{"iconSize", 48.0}, {"showItemInfo", true}}}});
  EXPECT_TRUE(
      writeDesktopIconViewSettings(preferences, {{"iconSize", 64.0}, {"arrangeBy", "grid"}}));

  const PreferenceDictionary expectedIconView{
      {"arrangeBy", "grid"}, {"iconSize", 64.0}, {"showItemInfo", true}};
  EXPECT_EQ(storedIconViewSettings(preferences), expectedIconView);
  const auto desktop = preferences.storedDomainValue(kDomain, "DesktopViewSettings");
  const auto* entries = desktop ? desktop->get<PreferenceDictionary>() : nullptr;
  ASSERT_NE(entries, nullptr);
  const auto groupBy = entries->find("GroupBy");
  ASSERT_NE(groupBy, entries->end());
  EXPECT_EQ(groupBy->second, PreferenceValue("Kind"));
}

TEST(WriteDesktopIconViewSettings, ReplacesEntriesThatAreNoDictionaries) {
  for (const PreferenceValue& stored :
       {PreferenceValue("flat"), PreferenceValue(PreferenceDictionary{{"IconViewSettings", 7}})}) {
    FakePreferences preferences;
    preferences.storeDomainValue(kDomain, "DesktopViewSettings", stored);
    EXPECT_TRUE(writeDesktopIconViewSettings(preferences, {{"textSize", 14}}));
    EXPECT_EQ(storedIconViewSettings(preferences), (PreferenceDictionary{{"textSize", 14}}));
  }
}

TEST(WriteDesktopIconViewSettings, ReportsAFailedSynchronisation) {
  FakePreferences preferences;
  preferences.failSynchronizing(true);
  EXPECT_FALSE(writeDesktopIconViewSettings(preferences, {{"textSize", 14}}));
  EXPECT_EQ(preferences.storedDomainValue(kDomain, "DesktopViewSettings"), std::nullopt);
}

TEST(DescribeSettings, ListsEachKeyWithItsValue) {
  EXPECT_EQ(describeSettings({{"textSize", 12},
                              {"gridSpacing", 80.0},
                              {"labelOnBottom", false},
                              {"arrangeBy", "none"}}),
            "arrangeBy=none, gridSpacing=80, labelOnBottom=false, textSize=12");
  EXPECT_EQ(describeSettings({}), "");
}

}  // namespace
}  // namespace deskplay::glyphon
