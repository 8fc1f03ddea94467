#include "core/appearance/appearance_keeper.hpp"

#include <gtest/gtest.h>

#include "core/appearance/fake_mac.hpp"
#include "core/appearance/snapshot_file.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;

class AppearanceKeeperTest : public ::testing::Test {
 protected:
  AppearanceKeeperTest() {
    fs::create_directories(desktop());
    testing::writeFile(desktop() / "notes.txt", "");
    testing::writeFile(desktop() / ".hidden", "");
    mac_.positions = {{"notes.txt", {1380, 60}}};
  }

  fs::path desktop() const { return home_.path() / "Desktop"; }
  fs::path snapshot() const { return keeper_.snapshotFile(); }
  std::string log() const { return testing::readFile(home_.path() / "app.log"); }
  std::vector<std::string> supportFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(snapshot().parent_path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  testing::TempDir home_;
  testing::FakeMac mac_{desktop()};
  platform::testing::FakePreferences preferences_;
  platform::testing::FakeClock clock_;
  AppearanceKeeper keeper_{{mac_, preferences_, clock_, [this] { return mac_.places(); }},
                           desktopSnapshotFile(AppPaths{home_.path(), home_.path(), {}}),
                           desktop(),
                           ArcadeLog(home_.path() / "app.log", clock_)};
};

TEST_F(AppearanceKeeperTest, RecordsBeforeAndRemovesTheSnapshotOnceAllIsBack) {
  keeper_.record();
  const auto recorded = readDesktopSnapshot(snapshot());
  ASSERT_TRUE(recorded.ok()) << recorded.message();
  ASSERT_TRUE(recorded.value());
  EXPECT_EQ(recorded.value()->positions, (std::vector<IconPosition>{{"notes.txt", 1380, 60}}));

  mac_.dockAutohide = true;
  mac_.positions["notes.txt"] = {5, 5};
  keeper_.putBack(true);
  EXPECT_FALSE(mac_.dockAutohide);
  EXPECT_EQ(mac_.positions.at("notes.txt"), std::make_pair(std::int64_t{1380}, std::int64_t{60}));
  EXPECT_FALSE(fs::exists(snapshot()));
  EXPECT_NE(log().find("appearance: put back dockAutohide, position of notes.txt"),
            std::string::npos)
      << log();
}

TEST_F(AppearanceKeeperTest, TheSnapshotStaysWhileFilesOrValuesAreNotBack) {
  keeper_.record();
  mac_.dockAutohide = true;
  keeper_.putBack(false);
  EXPECT_FALSE(mac_.dockAutohide);
  EXPECT_TRUE(fs::exists(snapshot()));

  mac_.finderGone = true;
  keeper_.putBack(true);
  EXPECT_TRUE(fs::exists(snapshot()));
  EXPECT_NE(log().find("appearance: not put back: Finder did not answer"), std::string::npos);

  mac_.finderGone = false;
  keeper_.putBack(true);
  EXPECT_FALSE(fs::exists(snapshot()));
}

TEST_F(AppearanceKeeperTest, AnEarlierSessionsSnapshotIsNotReplaced) {
  keeper_.record();
  mac_.iconSize = 128;  // left by that session
  keeper_.record();
  keeper_.putBack(true);
  EXPECT_EQ(mac_.iconSize, 64);
}

TEST_F(AppearanceKeeperTest, AnUnreadableSnapshotIsKeptAsideLoggedAndNeverApplied) {
  fs::create_directories(snapshot().parent_path());
  // A snapshot cut short: it would put the Dock back had it been applied in part.
  testing::writeFile(snapshot(), R"({"version":1,"dockAutohide":false,"positions":[{"name")");
  mac_.dockAutohide = true;
  keeper_.putBack(true);
  EXPECT_TRUE(mac_.dockAutohide);
  EXPECT_TRUE(mac_.changes.empty());
  EXPECT_FALSE(fs::exists(snapshot()));
  ASSERT_EQ(supportFolder().size(), 1U);
  EXPECT_TRUE(supportFolder().front().starts_with("desktop-snapshot.json.unreadable-"));
  EXPECT_NE(log().find("appearance: unreadable snapshot, not applied"), std::string::npos) << log();
}

TEST_F(AppearanceKeeperTest, AnUnreadableSnapshotFoundWhenRecordingMakesWayForANewOne) {
  fs::create_directories(snapshot());
  keeper_.record();
  const auto recorded = readDesktopSnapshot(snapshot());
  ASSERT_TRUE(recorded.ok()) << recorded.message();
  EXPECT_TRUE(recorded.value());
  // The new snapshot, its journal and the one kept aside.
  EXPECT_EQ(supportFolder().size(), 3U);
}

TEST_F(AppearanceKeeperTest, ALookThatCouldNotBeWrittenIsStillPutBackByThisRun) {
  fs::create_directories(home_.path() / "Library");
  testing::writeFile(home_.path() / "Library/Application Support", "a file, not a folder");
  keeper_.record();
  mac_.menuBarAutohide = true;
  keeper_.putBack(true);
  EXPECT_FALSE(mac_.menuBarAutohide);
  EXPECT_NE(log().find("appearance: the snapshot could not be written"), std::string::npos);
}

TEST_F(AppearanceKeeperTest, NoSnapshotPutsNothingBack) {
  mac_.iconSize = 128;
  keeper_.putBack(true);
  EXPECT_TRUE(mac_.changes.empty());
  EXPECT_EQ(mac_.iconSize, 128);
}

TEST_F(AppearanceKeeperTest, TheUsersOwnChangeToWhatTheGameNeverAskedForIsKept) {
  keeper_.record();
  EXPECT_EQ(fs::file_size(keeper_.changeJournal()), 0U);
  // The icon controller's notes: the game asked for the icon size only.
  testing::writeFile(keeper_.changeJournal(), "glyphon\niconSize\n");
  mac_.iconSize = 128;
  mac_.picture = "/Users/ada/beach.png";
  mac_.positions["notes.txt"] = {5, 5};

  keeper_.putBack(true);
  EXPECT_EQ(mac_.iconSize, 64);
  EXPECT_EQ(mac_.picture, "/Users/ada/beach.png");
  EXPECT_EQ(mac_.positions.at("notes.txt"), std::make_pair(std::int64_t{1380}, std::int64_t{60}));
  EXPECT_FALSE(fs::exists(keeper_.changeJournal()));
}

TEST_F(AppearanceKeeperTest, AJournalWithoutKeptNotesPutsBackEverythingThatDiffers) {
  keeper_.record();
  testing::writeFile(keeper_.changeJournal(), "iconSize\n");
  mac_.picture = "/games/board.png";
  keeper_.putBack(true);
  EXPECT_EQ(mac_.picture, "/Library/Desktop Pictures/Sky.heic");
}

TEST_F(AppearanceKeeperTest, AnEarlierSessionsJournalGoesOnWithItsSnapshot) {
  keeper_.record();
  testing::writeFile(keeper_.changeJournal(), "glyphon\ndockAutohide\n");
  keeper_.record();
  EXPECT_EQ(testing::readFile(keeper_.changeJournal()), "glyphon\ndockAutohide\n");
}

}  // namespace
}  // namespace deskplay::core
