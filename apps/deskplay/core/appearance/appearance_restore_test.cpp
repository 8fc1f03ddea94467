#include "core/appearance/appearance_restore.hpp"

#include <gtest/gtest.h>

#include "core/appearance/appearance_reading.hpp"
#include "core/appearance/appearance_scripts.hpp"
#include "core/appearance/fake_mac.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
namespace scripts = appearance_scripts;
using platform::PreferenceDictionary;
using platform::PreferenceValue;

class AppearanceRestoreTest : public ::testing::Test {
 protected:
  AppearanceRestoreTest() {
    fs::create_directories(desktop());
    for (const char* name : {"notes.txt", "Projects"}) testing::writeFile(desktop() / name, "");
    mac_.positions = {{"notes.txt", {1380, 60}}, {"Projects", {1380, 150}}};
    storeFinderSettings({{"iconSize", 64.0}, {"showIconPreview", true}});
  }

  fs::path desktop() const { return home_.path() / "Desktop"; }
  AppearanceServices services() {
    return {mac_, preferences_, clock_, [this] { return mac_.places(); }};
  }

  void storeFinderSettings(PreferenceDictionary icons) {
    preferences_.storeDomainValue("com.apple.finder", "DesktopViewSettings",
                                  PreferenceDictionary{{"IconViewSettings", std::move(icons)}});
  }
  PreferenceDictionary storedIconSettings() const {
    const auto stored = preferences_.storedDomainValue("com.apple.finder", "DesktopViewSettings");
    const auto* desktop = stored ? stored->get<PreferenceDictionary>() : nullptr;
    if (desktop == nullptr || !desktop->contains("IconViewSettings")) return {};
    const auto* icons = desktop->at("IconViewSettings").get<PreferenceDictionary>();
    return icons != nullptr ? *icons : PreferenceDictionary{};
  }

  DesktopAppearance recorded() {
    return readDesktopAppearance(services(), visibleDesktopItems(desktop()));
  }

  // What a game does to every value.
  void playAGame() {
    mac_.iconSize = 128;
    mac_.textSize = 16;
    mac_.labelPosition = "right";
    mac_.arrangement = "arranged by name";
    mac_.showsItemInfo = true;
    mac_.picture = "/games/board.png";
    mac_.dockAutohide = true;
    mac_.menuBarAutohide = true;
    mac_.positions = {{"notes.txt", {100, 100}}, {"Projects", {200, 100}}};
    storeFinderSettings({{"iconSize", 128.0}, {"gridSpacing", 80.0}, {"showIconPreview", true}});
  }

  testing::TempDir home_;
  testing::FakeMac mac_{desktop()};
  platform::testing::FakePreferences preferences_;
  platform::testing::FakeClock clock_;
};

TEST_F(AppearanceRestoreTest, EverythingTheGameChangedComesBackAndTwiceChangesNothingMore) {
  const DesktopAppearance before = recorded();
  ASSERT_EQ(before.positions.size(), 2U);
  ASSERT_EQ(before.iconSize, 64);
  playAGame();

  const AppearanceRestore first = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(first.problems.empty());
  EXPECT_EQ(recorded(), before);
  // Stored settings: the key the game added is gone again, the others are as they were.
  EXPECT_EQ(storedIconSettings(),
            (PreferenceDictionary{{"iconSize", 64.0}, {"showIconPreview", true}}));
  // Finder was relaunched to read them, before the options were set on it.
  ASSERT_FALSE(mac_.changes.empty());
  EXPECT_EQ(mac_.changes.front(), scripts::kQuitFinder);
  EXPECT_EQ(mac_.launches, 1);
  // The icons go back last, once no arrangement can override them.
  EXPECT_NE(mac_.changes.back().find("set desktop position"), std::string::npos);

  mac_.changes.clear();
  const AppearanceRestore second = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(second.putBack.empty());
  EXPECT_TRUE(second.problems.empty());
  EXPECT_TRUE(mac_.changes.empty()) << mac_.changes.front();
}

TEST_F(AppearanceRestoreTest, TheUsersOwnChangeToWhatTheGameNeverTouchedIsKept) {
  const DesktopAppearance before = recorded();
  mac_.iconSize = 128;                    // the game's
  mac_.picture = "/Users/ada/beach.png";  // the user's, meanwhile
  mac_.dockAutohide = true;               // the user's too

  const AppearanceRestore restore = putBackDesktopAppearance(
      services(), before, desktop(), std::set<std::string, std::less<>>{"iconSize"});
  EXPECT_TRUE(restore.problems.empty());
  EXPECT_EQ(mac_.iconSize, 64);
  EXPECT_EQ(mac_.picture, "/Users/ada/beach.png");
  EXPECT_TRUE(mac_.dockAutohide);
}

TEST_F(AppearanceRestoreTest, AnItemNoLongerOnTheDesktopIsSkipped) {
  const DesktopAppearance before = recorded();
  playAGame();
  fs::remove(desktop() / "Projects");

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(restore.problems.empty());
  EXPECT_EQ(mac_.positions.at("notes.txt"), std::make_pair(std::int64_t{1380}, std::int64_t{60}));
  EXPECT_EQ(mac_.positions.at("Projects"), std::make_pair(std::int64_t{200}, std::int64_t{100}));
}

TEST_F(AppearanceRestoreTest, AnItemFinderHasNotNoticedYetIsWaitedFor) {
  const DesktopAppearance before = recorded();
  playAGame();
  mac_.unnoticed["notes.txt"] = 3;

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(restore.problems.empty());
  EXPECT_EQ(mac_.positions.at("notes.txt"), std::make_pair(std::int64_t{1380}, std::int64_t{60}));
  EXPECT_EQ(clock_.sleeps().size(), 3U);
}

TEST_F(AppearanceRestoreTest, AFinderLeftQuitByTheGameIsOpenedAndWaitedFor) {
  const DesktopAppearance before = recorded();
  playAGame();
  storeFinderSettings({{"iconSize", 64.0}, {"showIconPreview", true}});
  // The game was killed between quitting Finder and opening it again.
  mac_.finderRunning = false;
  mac_.launchChecks = 4;

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(restore.problems.empty());
  EXPECT_EQ(mac_.launches, 1);
  EXPECT_EQ(clock_.sleeps(),
            std::vector<platform::Clock::Seconds>(5, platform::Clock::Seconds(0.5)));
  EXPECT_EQ(recorded(), before);
}

TEST_F(AppearanceRestoreTest, WithoutFinderTheSystemSettingsStillComeBack) {
  const DesktopAppearance before = recorded();
  playAGame();
  mac_.finderGone = true;

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_FALSE(restore.problems.empty());
  EXPECT_EQ(mac_.picture, "/Library/Desktop Pictures/Sky.heic");
  EXPECT_FALSE(mac_.dockAutohide);
  EXPECT_FALSE(mac_.menuBarAutohide);
  EXPECT_EQ(mac_.iconSize, 128);
  EXPECT_EQ(clock_.sleeps().size(), 20U);
}

TEST_F(AppearanceRestoreTest, SettingsThatCouldNotBeStoredAreAProblem) {
  const DesktopAppearance before = recorded();
  playAGame();
  preferences_.failSynchronizing(true);

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_EQ(restore.problems,
            std::vector<std::string>{"Finder's stored settings could not be written"});
  EXPECT_EQ(mac_.iconSize, 64);
}

TEST_F(AppearanceRestoreTest, AValueThatCouldNotBeReadIsLeftAlone) {
  DesktopAppearance before = recorded();
  before.desktopPicture.reset();
  before.finderPreferences.clear();
  playAGame();

  const AppearanceRestore restore = putBackDesktopAppearance(services(), before, desktop(), {});
  EXPECT_TRUE(restore.problems.empty());
  EXPECT_EQ(mac_.picture, "/games/board.png");
  EXPECT_EQ(storedIconSettings().at("gridSpacing"), PreferenceValue(80.0));
  EXPECT_EQ(mac_.launches, 0);
}

}  // namespace
}  // namespace deskplay::core
