#include "sim/simdesk/model/privacy.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using Prompt = platform::Accessibility::Prompt;

TEST(PrivacyTest, GrantedUntilRevokedPerServiceAndApplication) {
  Privacy privacy;
  EXPECT_TRUE(privacy.isGranted(PrivacyService::accessibility, "Deskplay"));
  privacy.revoke(PrivacyService::accessibility, "Deskplay");
  EXPECT_FALSE(privacy.isGranted(PrivacyService::accessibility, "Deskplay"));
  EXPECT_TRUE(privacy.isGranted(PrivacyService::inputMonitoring, "Deskplay"));
  EXPECT_TRUE(privacy.isGranted(PrivacyService::accessibility, "Keyhark"));
  privacy.grant(PrivacyService::accessibility, "Deskplay");
  EXPECT_TRUE(privacy.isGranted(PrivacyService::accessibility, "Deskplay"));
}

TEST(PrivacyTest, PromptsAreRecordedOnlyForUntrustedApplicationsThatAsk) {
  Privacy privacy;
  EXPECT_TRUE(privacy.isProcessTrusted("Keyhark", Prompt::yes));
  privacy.revoke(PrivacyService::accessibility, "Keyhark");
  EXPECT_FALSE(privacy.isProcessTrusted("Keyhark", Prompt::no));
  EXPECT_TRUE(privacy.prompts().empty());
  EXPECT_FALSE(privacy.isProcessTrusted("Keyhark", Prompt::yes));
  EXPECT_EQ(privacy.prompts(), (std::vector<PrivacyRecord>{{"Keyhark", "accessibility"}}));
}

TEST(PrivacyTest, OnlySettingsUrlsCountAsOpenedPanes) {
  Privacy privacy;
  const std::string url =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
  EXPECT_TRUE(privacy.openSettingsUrl("Deskplay", url));
  EXPECT_FALSE(privacy.openSettingsUrl("Deskplay", "https://example.com"));
  EXPECT_EQ(privacy.openedSettingsPanes(), (std::vector<PrivacyRecord>{{"Deskplay", url}}));
}

TEST(PrivacyTest, ListenersHearRealChangesOnly) {
  Privacy privacy;
  int calls = 0;
  privacy.addPermissionListener([&](PrivacyService, const std::string&) { ++calls; });
  privacy.grant(PrivacyService::inputMonitoring, "Keyhark");
  privacy.revoke(PrivacyService::inputMonitoring, "Keyhark");
  privacy.revoke(PrivacyService::inputMonitoring, "Keyhark");
  EXPECT_EQ(calls, 1);
}

TEST(PrivacyTest, ReduceMotionObserversUntilTheirObservationGoes) {
  Privacy privacy;
  int first = 0;
  int second = 0;
  auto keep = privacy.observeReduceMotion([&] { ++first; });
  auto dropped = privacy.observeReduceMotion([&] { ++second; });
  privacy.setReduceMotion(true);
  privacy.setReduceMotion(true);
  dropped.reset();
  privacy.setReduceMotion(false);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(privacy.reduceMotion());
}

TEST(PrivacyTest, AnObserverMayRemoveItselfWhileTold) {
  Privacy privacy;
  std::unique_ptr<platform::Observation> self;
  int calls = 0;
  self = privacy.observeReduceMotion([&] {
    ++calls;
    self.reset();
  });
  privacy.setReduceMotion(true);
  privacy.setReduceMotion(false);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace deskplay::simdesk
