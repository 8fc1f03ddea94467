#include "core/settings/data_folder.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <optional>
#include <string>
#include <vector>

#include "core/basics/data_dir.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using platform::PreferenceValue;
using platform::testing::FakePreferences;
using platform::testing::FakeWorkspace;

class DataFolderTest : public ::testing::Test {
 protected:
  AppPaths paths() const { return {home_.path(), home_.path() / "tmp", home_.path() / "B.app"}; }
  fs::path home() const { return home_.path(); }
  fs::path defaultFolder() const { return home() / "Documents" / "Deskplay"; }
  fs::path legacy() const { return home() / "Library" / "Application Support" / "Deskplay"; }

  testing::TempDir home_;
  FakePreferences preferences_;
  FakeWorkspace workspace_;
};

TEST_F(DataFolderTest, CreationFollowsTheStoredFolder) {
  const std::string homeText = home().string();
  const struct {
    std::optional<PreferenceValue> stored;
    fs::path url;
    bool isDefault;
  } cases[] = {
      {std::nullopt, defaultFolder(), true},
      {"", defaultFolder(), true},
      {"/srv/work", "/srv/work", false},
      {homeText + "/Documents/Deskplay/", homeText + "/Documents/Deskplay/", true},
      {homeText + "/Documents/./Deskplay", homeText + "/Documents/./Deskplay", true},
      {homeText + "/Music/../Documents/Deskplay", homeText + "/Music/../Documents/Deskplay", true},
      {homeText + "/Documents/Deskplay2", homeText + "/Documents/Deskplay2", false},
      {true, defaultFolder(), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    FakePreferences preferences;
    if (c.stored) {
      ASSERT_TRUE(preferences.setValue(kDataDirKey, *c.stored).ok());
    }
    const DataFolder folder(paths(), preferences, workspace_);
    EXPECT_EQ(folder.url(), c.url);
    EXPECT_EQ(folder.isDefault(), c.isDefault);
  }
}

TEST_F(DataFolderTest, SetAndResetWriteWhatEveryLaunchReads) {
  DataFolder folder(paths(), preferences_, workspace_);
  QSignalSpy changes(&folder, &DataFolder::urlChanged);

  folder.set("/srv/work");
  EXPECT_EQ(folder.url(), fs::path("/srv/work"));
  EXPECT_FALSE(folder.isDefault());
  EXPECT_EQ(resolvedDataDirPath(preferences_, paths()), "/srv/work");
  EXPECT_FALSE(fs::exists("/srv/work"));

  folder.resetToDefault();
  EXPECT_EQ(folder.url(), defaultFolder());
  EXPECT_FALSE(preferences_.value(kDataDirKey).has_value());
  EXPECT_EQ(resolvedDataDirPath(preferences_, paths()), defaultFolder().string());

  folder.set("/srv/other");
  folder.set("");
  EXPECT_EQ(folder.url(), defaultFolder());
  EXPECT_FALSE(preferences_.value(kDataDirKey).has_value());
  EXPECT_EQ(changes.count(), 4);
}

TEST_F(DataFolderTest, RevealCreatesTheFolderAndShowsIt) {
  DataFolder folder(paths(), preferences_, workspace_);
  folder.reveal();
  EXPECT_TRUE(fs::is_directory(defaultFolder()));
  folder.reveal();
  EXPECT_EQ(workspace_.reveals(),
            (std::vector<std::vector<fs::path>>{{defaultFolder()}, {defaultFolder()}}));
}

TEST_F(DataFolderTest, RevealOfAFolderThatCannotBeCreatedStillShowsIt) {
  testing::writeFile(home() / "blocked", "");
  DataFolder folder(paths(), preferences_, workspace_);
  folder.set(home() / "blocked" / "work");
  folder.reveal();
  EXPECT_EQ(workspace_.reveals().size(), 1u);
}

TEST_F(DataFolderTest, MigrationMovesOldWorkButLeavesTheUserGamesAndTheDesktopsLook) {
  testing::writeFile((fs::create_directories(legacy() / "games" / "pong"),
                      legacy() / "games" / "pong" / "manifest.json"),
                     "{}");
  testing::writeFile(
      (fs::create_directories(legacy() / "look"), legacy() / "look" / "desktop-snapshot.json"),
      "{}");
  fs::create_directories(legacy() / "pixel");
  testing::writeFile(legacy() / "pixel" / "cat.png", "png");
  testing::writeFile(legacy() / ".DS_Store", "finder");

  DataFolder folder(paths(), preferences_, workspace_);
  folder.migrateLegacyIfNeeded();

  EXPECT_EQ(testing::readFile(defaultFolder() / "pixel" / "cat.png"), "png");
  EXPECT_FALSE(fs::exists(legacy() / "pixel"));
  EXPECT_TRUE(fs::exists(legacy() / "games" / "pong" / "manifest.json"));
  EXPECT_TRUE(fs::exists(legacy() / ".DS_Store"));
  EXPECT_FALSE(fs::exists(defaultFolder() / "games"));
  EXPECT_TRUE(fs::exists(legacy() / "look" / "desktop-snapshot.json"));
  EXPECT_FALSE(fs::exists(defaultFolder() / "look"));
  EXPECT_FALSE(fs::exists(defaultFolder() / ".DS_Store"));
}

TEST_F(DataFolderTest, MigrationGoesToTheChosenFolderAndNotFromItselfToItself) {
  fs::create_directories(legacy());
  testing::writeFile(legacy() / "work.txt", "w");

  ASSERT_TRUE(preferences_.setValue(kDataDirKey, legacy().string() + "/").ok());
  DataFolder(paths(), preferences_, workspace_).migrateLegacyIfNeeded();
  EXPECT_TRUE(fs::exists(legacy() / "work.txt"));

  ASSERT_TRUE(preferences_.setValue(kDataDirKey, (home() / "Saved").string()).ok());
  DataFolder(paths(), preferences_, workspace_).migrateLegacyIfNeeded();
  EXPECT_EQ(testing::readFile(home() / "Saved" / "work.txt"), "w");
  EXPECT_FALSE(fs::exists(defaultFolder()));
}

}  // namespace
}  // namespace deskplay::core
