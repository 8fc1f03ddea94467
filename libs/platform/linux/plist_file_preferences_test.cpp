#include "platform/linux/plist_file_preferences.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "plist_files/plist_file.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using deskplay::testing::TempDir;

// Runs `work` in a forked process and waits for it; its exit status says whether it went well.
int inSecondProcess(const std::function<bool()>& work) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work() ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

class PlistFilePreferencesTest : public ::testing::Test {
 protected:
  TempDir home;
  std::filesystem::path defaultsFile = home / "config/Deskplay/UserDefaults.plist";
  std::filesystem::path domains = home / "Library/Preferences";
  PlistFilePreferences preferences{defaultsFile, domains};

  PlistFilePreferences another() { return PlistFilePreferences(defaultsFile, domains); }
};

TEST_F(PlistFilePreferencesTest, EveryTypeReadsBackWithItsTypeInAnotherProcess) {
  const PreferenceDictionary written{
      {"serverURL", "wss://rooms.example/ä"},
      {"soundsEnabled", false},
      {"count", std::int64_t{-7}},
      {"big", std::int64_t{1} << 40},
      {"one", 1},
      {"truth", true},
      {"gridSpacing", 54.5},
      {"stopHotkey", PreferenceData{{0, 1, 0xFF, '{'}}},
      {"when", PreferenceDate{786297600}},
      {"list", PreferenceArray{"a", 2, false}},
      {"nested", PreferenceDictionary{{"inner", PreferenceDictionary{{"x", 1.0}}}}},
  };
  ASSERT_EQ(inSecondProcess([&] {
              PlistFilePreferences writer = another();
              for (const auto& [key, value] : written) {
                if (!writer.setValue(key, value).ok()) return false;
              }
              return true;
            }),
            0);

  for (const auto& [key, value] : written) {
    EXPECT_EQ(preferences.value(key), value) << key;
  }
  // A boolean never turns into a number, nor a number into a boolean.
  EXPECT_NE(preferences.value("one")->get<std::int64_t>(), nullptr);
  EXPECT_NE(preferences.value("truth")->get<bool>(), nullptr);
}

TEST_F(PlistFilePreferencesTest, RemovingAKeyLeavesTheOthersAndAMissingKeyWritesNothing) {
  ASSERT_TRUE(preferences.removeValue("dataDir").ok());
  EXPECT_FALSE(std::filesystem::exists(defaultsFile));

  ASSERT_TRUE(preferences.setValue("dataDir", "/data").ok());
  ASSERT_TRUE(preferences.setValue("serverURL", "https://x").ok());
  ASSERT_TRUE(preferences.removeValue("dataDir").ok());
  EXPECT_FALSE(preferences.value("dataDir").has_value());
  EXPECT_EQ(preferences.value("serverURL"), PreferenceValue("https://x"));
}

TEST_F(PlistFilePreferencesTest, ConcurrentWritersLoseNothing) {
  const auto writeMany = [&](const std::string& prefix) {
    return inSecondProcess([&] {
      PlistFilePreferences writer = another();
      for (int i = 0; i < 40; ++i) {
        if (!writer.setValue(prefix + std::to_string(i), i).ok()) return false;
      }
      return true;
    });
  };
  const pid_t first = ::fork();
  if (first == 0) ::_exit(writeMany("a"));
  EXPECT_EQ(writeMany("b"), 0);
  int status = 0;
  ::waitpid(first, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(preferences.value("a" + std::to_string(i)), PreferenceValue(i));
    EXPECT_EQ(preferences.value("b" + std::to_string(i)), PreferenceValue(i));
  }
}

TEST_F(PlistFilePreferencesTest, DomainWritesWaitForSynchronisationAndKeepTheFileFormat) {
  const auto finder = domains / "com.apple.finder.plist";
  std::filesystem::create_directories(domains);
  plist::PlistNode root(plist_new_dict());
  plist_dict_set_item(root.get(), "ShowPathbar", plist_new_bool(1));
  ASSERT_TRUE(plist::writePlistFile(finder, root.get(), plist::PlistFormat::binary).ok());

  const PreferenceValue settings =
      PreferenceDictionary{{"IconViewSettings", PreferenceDictionary{{"iconSize", 64.0}}}};
  preferences.setDomainValue("com.apple.finder", "DesktopViewSettings", settings);
  EXPECT_EQ(preferences.domainValue("com.apple.finder", "DesktopViewSettings"), settings);
  EXPECT_FALSE(another().domainValue("com.apple.finder", "DesktopViewSettings").has_value());

  ASSERT_TRUE(preferences.synchronizeDomain("com.apple.finder"));
  EXPECT_EQ(another().domainValue("com.apple.finder", "DesktopViewSettings"), settings);
  EXPECT_EQ(another().domainValue("com.apple.finder", "ShowPathbar"), PreferenceValue(true));
  auto reread = plist::readPlistFile(finder);
  ASSERT_TRUE(reread.ok() && reread.value());
  EXPECT_EQ(reread.value()->format, plist::PlistFormat::binary);
}

TEST_F(PlistFilePreferencesTest, FailedSynchronisationKeepsTheWritesAndTheFile) {
  std::filesystem::create_directories(domains);
  const auto finder = domains / "com.apple.finder.plist";
  deskplay::testing::writeFile(finder, "garbage that is no plist");
  preferences.setDomainValue("com.apple.finder", "key", "value");
  EXPECT_FALSE(preferences.synchronizeDomain("com.apple.finder"));
  EXPECT_EQ(deskplay::testing::readFile(finder), "garbage that is no plist");
  EXPECT_EQ(preferences.domainValue("com.apple.finder", "key"), PreferenceValue("value"));

  std::filesystem::remove(finder);
  EXPECT_TRUE(preferences.synchronizeDomain("com.apple.finder"));
  EXPECT_EQ(another().domainValue("com.apple.finder", "key"), PreferenceValue("value"));
}

TEST_F(PlistFilePreferencesTest, DomainNamesCannotLeaveTheFolder) {
  for (const std::string domain : {"../escape", "a/b", ".hidden", ""}) {
    preferences.setDomainValue(domain, "k", 1);
    EXPECT_FALSE(preferences.synchronizeDomain(domain)) << domain;
  }
  EXPECT_FALSE(std::filesystem::exists(home / "Library/escape.plist"));
}

TEST(PreferenceFolders, FollowTheEnvironment) {
  const char* savedHome = std::getenv("HOME");
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(defaultUserDefaultsFile(), "/home/someone/.config/Deskplay/UserDefaults.plist");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(defaultUserDefaultsFile(), "/cfg/Deskplay/UserDefaults.plist");
  EXPECT_EQ(defaultPreferencesFolder(), "/home/someone/Library/Preferences");
  savedHome != nullptr ? ::setenv("HOME", savedHome, 1) : ::unsetenv("HOME");
  savedConfig != nullptr ? ::setenv("XDG_CONFIG_HOME", savedConfig, 1)
                         : ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace deskplay::platform
