#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocale>
#include <QSignalSpy>
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/catalog/catalog_store.hpp"
#include "core/catalog/catalog_test_support.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

using platform::Clock;

// Writes a file, making its folders first.
void put(const std::filesystem::path& path, const std::string& content) {
  std::filesystem::create_directories(path.parent_path());
  deskplay::testing::writeFile(path, content);
}

std::vector<std::string> ids(const std::vector<Game>& games) {
  std::vector<std::string> result;
  for (const Game& game : games) result.push_back(game.id);
  return result;
}

// A bundle with a resource games folder, a home with a user games folder, and a store over
// both.
class PackagedCatalogTest : public ::testing::Test {
 protected:
  PackagedCatalogTest()
      : paths_{dir_ / "home", dir_ / "tmp", dir_ / "Deskplay.app"},
        clock_(Clock::Seconds(1000), Clock::Seconds(1772357400)) {
    std::filesystem::create_directories(paths_.resourceGamesFolder());
    std::filesystem::create_directories(paths_.temporaryDirectory);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  CatalogStore& store() {
    if (!store_) {
      store_ = std::make_unique<CatalogStore>(paths_, preferences_, clock_,
                                              platform::macosToolPaths(), QProcessEnvironment());
    }
    return *store_;
  }

  // A game folder: its manifest and its entry module.
  static void addGame(const std::filesystem::path& folder, const std::string& id,
                      const std::string& manifest) {
    put(folder / id / "manifest.json", manifest);
    put(folder / id / (id + ".mjs"), "export {};\n");
  }
  void addResourceGame(const std::string& id, const std::string& name,
                       const std::string& section = "arcade", std::optional<int> order = {}) {
    addGame(paths_.resourceGamesFolder(), id, testing::gameJson(id, name, section, order));
  }
  void addUserGame(const std::string& id, const std::string& name,
                   const std::string& section = "arcade", std::optional<int> order = {}) {
    addGame(paths_.userGamesFolder(), id, testing::gameJson(id, name, section, order));
  }

  std::string log() const { return deskplay::testing::readFile(paths_.applicationLog()); }

  deskplay::testing::TempDir dir_;
  AppPaths paths_;
  platform::testing::FakePreferences preferences_;
  platform::testing::FakeClock clock_;
  std::unique_ptr<CatalogStore> store_;
};

TEST_F(PackagedCatalogTest, JoinsBothFoldersKeepsBundledDuplicateSortsAndLogs) {
  addResourceGame("snake", "Snake", "arcade", 1);
  addResourceGame("tetra", "Tetra", "puzzles");
  addUserGame("snake", "User Snake", "studio");
  addUserGame("maze", "Maze", "arcade");
  QSignalSpy gamesChanged(&store(), &CatalogStore::gamesChanged);

  store().load();

  EXPECT_EQ(ids(store().games()), (std::vector<std::string>{"maze", "snake", "tetra"}));
  EXPECT_EQ(store().games()[1].name, "Snake");
  EXPECT_EQ(store().games()[1].bundleURL, paths_.resourceGamesFolder() / "snake");
  EXPECT_EQ(store().games()[0].bundleURL, paths_.userGamesFolder() / "maze");
  EXPECT_EQ(store().refreshError(), std::nullopt);
  EXPECT_EQ(gamesChanged.count(), 1);
  EXPECT_EQ(log(), "[2026-03-01T09:30:00Z] catalog: scanned " +
                       paths_.resourceGamesFolder().string() + " + " +
                       paths_.userGamesFolder().string() +
                       " -> [\"maze\", \"snake\", \"tetra\"]\n");
  EXPECT_EQ(ids(store().games(GameSection::arcade)), (std::vector<std::string>{"maze", "snake"}));
  EXPECT_EQ(store().bundledGamesURL(), paths_.resourceGamesFolder());
}

TEST_F(PackagedCatalogTest, SkipsFoldersThatAreNotGames) {
  const auto games = paths_.resourceGamesFolder();
  addResourceGame("good", "Good");
  addResourceGame(".hidden", "Hidden");
  // The manifest's id differs from the folder only in letter case.
  addGame(games, "Cased", testing::gameJson("cased", "Cased"));
  // A valid manifest but no entry module named after the folder.
  put(games / "noentry" / "manifest.json", testing::gameJson("noentry", "No entry"));
  put(games / "noentry" / "main.mjs", "");
  addGame(games, "broken", "{ not json");
  addGame(games, "badsection", testing::gameJson("badsection", "Bad", "sports"));
  put(games / "nomanifest" / "nomanifest.mjs", "");
  put(games / "plain.mjs", "");
  put(games / "plain", testing::gameJson("plain", "Plain"));
  std::filesystem::create_directories(games / "dirmanifest" / "manifest.json");
  put(games / "dirmanifest" / "dirmanifest.mjs", "");
  // A link to a game folder elsewhere counts as a folder.
  addGame(dir_.path(), "linked", testing::gameJson("linked", "Linked"));
  std::filesystem::create_directory_symlink(dir_ / "linked", games / "linked");

  store().refresh();

  EXPECT_EQ(ids(store().games()), (std::vector<std::string>{"good", ".hidden", "linked"}));
}

// One game folder whose manifest is broken or dangerous, beside a good game.
struct BrokenManifestCase {
  const char* name;
  std::function<void(const std::filesystem::path& manifest)> make;
  const char* logged;  // why the log says the folder was skipped
};

// Test names in the output, not bytes.
void PrintTo(const BrokenManifestCase& c, std::ostream* os) {
  *os << c.name;
}

class PackagedCatalogBrokenManifestTest : public PackagedCatalogTest,
                                          public ::testing::WithParamInterface<BrokenManifestCase> {
};

TEST_P(PackagedCatalogBrokenManifestTest, SkipsAndLogsTheFolderAndGoesOn) {
  addResourceGame("good", "Good");
  const auto folder = paths_.resourceGamesFolder() / "broken";
  put(folder / "broken.mjs", "export {};\n");
  GetParam().make(folder / "manifest.json");
  addUserGame("mine", "Mine");

  store().refresh();

  EXPECT_EQ(ids(store().games()), (std::vector<std::string>{"good", "mine"}));
  const std::string skipped = "catalog: skipped " + folder.string() + ": ";
  const std::string text = log();
  const auto line = text.find(skipped);
  ASSERT_NE(line, std::string::npos) << text;
  EXPECT_NE(text.substr(line, text.find('\n', line) - line).find(GetParam().logged),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("-> [\"good\", \"mine\"]\n"), std::string::npos) << text;
}

std::string recordWith(const std::string& extra) {
  std::string record = testing::gameJson("broken", "Broken");
  return record.insert(record.size() - 1, "," + extra);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackagedCatalogBrokenManifestTest,
    ::testing::Values(
        BrokenManifestCase{
            "NumberBeyondADoubleUnderAnIgnoredKey",
            [](const auto& manifest) { put(manifest, recordWith("\"ignored\":1e400")); },
            "number overflow parsing '1e400'"},
        BrokenManifestCase{"NotJson", [](const auto& manifest) { put(manifest, "{ not json"); },
                           "does not decode"},
        BrokenManifestCase{
            "OtherId",
            [](const auto& manifest) { put(manifest, testing::gameJson("other", "Other")); },
            "names the game \"other\""},
        BrokenManifestCase{"Missing", [](const auto&) {}, "no manifest.json"},
        // No writer ever comes: an open that waited for one would never return.
        BrokenManifestCase{
            "Fifo", [](const auto& manifest) { ASSERT_EQ(::mkfifo(manifest.c_str(), 0600), 0); },
            "not a regular file"},
        BrokenManifestCase{
            "Folder", [](const auto& manifest) { std::filesystem::create_directory(manifest); },
            "not a regular file"},
        BrokenManifestCase{
            "LinkToZeroes",
            [](const auto& manifest) { std::filesystem::create_symlink("/dev/zero", manifest); },
            "symbolic link"},
        BrokenManifestCase{"LinkToAGoodManifest",
                           [](const auto& manifest) {
                             put(manifest.parent_path() / "real.json",
                                 testing::gameJson("broken", "Broken"));
                             std::filesystem::create_symlink("real.json", manifest);
                           },
                           "symbolic link"},
        BrokenManifestCase{"TwoMebibytes",
                           [](const auto& manifest) {
                             put(manifest,
                                 recordWith("\"padding\":\"" + std::string(2 << 20, 'p') + "\""));
                           },
                           "larger than 1048576 bytes"}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(PackagedCatalogTest, ASkippedFolderCannotForgeLogLines) {
  addGame(paths_.resourceGamesFolder(), "two\nlines", "{ not json");
  store().refresh();
  const std::string text = log();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
  EXPECT_NE(text.find("two\\nlines: manifest.json does not decode"), std::string::npos) << text;
}

TEST_F(PackagedCatalogTest, NoGamesAtAllIsAnError) {
  QSignalSpy errorChanged(&store(), &CatalogStore::refreshErrorChanged);
  store().refresh();
  EXPECT_TRUE(store().games().empty());
  EXPECT_EQ(store().refreshError(), "No games found in this build.");
  EXPECT_EQ(log(), "[2026-03-01T09:30:00Z] catalog: scanned " +
                       paths_.resourceGamesFolder().string() + " + " +
                       paths_.userGamesFolder().string() + " -> []\n");

  addUserGame("late", "Late");
  store().refresh();
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"late"});
  EXPECT_EQ(store().refreshError(), std::nullopt);
  EXPECT_EQ(errorChanged.count(), 2);
}

TEST_F(PackagedCatalogTest, LinksTheSharedFontsReplacingAnOldLinkOrEmptyFolder) {
  const auto link = paths_.userGamesFolder() / "fonts";
  for (const bool oldLink : {true, false}) {
    SCOPED_TRACE(oldLink ? "old link" : "empty folder");
    std::filesystem::remove(link);
    std::filesystem::create_directories(paths_.userGamesFolder());
    if (oldLink) {
      std::filesystem::create_directory_symlink(paths_.home / "elsewhere", link);
    } else {
      std::filesystem::create_directory(link);
    }
    addResourceGame("snake", "Snake");

    store().refresh();

    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), paths_.resourceGamesFolder() / "fonts");
    // Made again on every refresh; the link itself is no game.
    store().refresh();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ids(store().games()), std::vector<std::string>{"snake"});
  }
}

TEST_F(PackagedCatalogTest, KeepsAFontsFolderHoldingTheUsersFiles) {
  const auto fonts = paths_.userGamesFolder() / "fonts";
  std::filesystem::create_directories(fonts / "old");
  put(fonts / "old" / "font.ttf", "x");
  addResourceGame("snake", "Snake");

  store().refresh();

  EXPECT_FALSE(std::filesystem::is_symlink(fonts));
  EXPECT_TRUE(std::filesystem::exists(fonts / "old" / "font.ttf"));
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"snake"});
}

TEST_F(PackagedCatalogTest, UnusableUserFolderLeavesTheBundledGames) {
  addResourceGame("snake", "Snake");
  // A file where the user games folder should be: nothing can be made or listed there.
  std::filesystem::create_directories(paths_.userGamesFolder().parent_path());
  put(paths_.userGamesFolder(), "not a folder");
  store().refresh();
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"snake"});
  EXPECT_EQ(store().refreshError(), std::nullopt);
}

TEST_F(PackagedCatalogTest, UnreadableUserFolderLeavesTheBundledGames) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  addResourceGame("snake", "Snake");
  addUserGame("maze", "Maze");
  std::filesystem::permissions(paths_.userGamesFolder(), std::filesystem::perms::none);
  store().refresh();
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"snake"});
}

TEST_F(PackagedCatalogTest, LoadIgnoresAndKeepsTheCachedCatalog) {
  const platform::PreferenceData cached{[] {
    const std::string text = "[" + testing::gameJson("cached", "Cached") + "]";
    return std::vector<unsigned char>(text.begin(), text.end());
  }()};
  ASSERT_TRUE(preferences_.setValue(kCatalogJSONKey, cached).ok());
  addResourceGame("snake", "Snake");
  QSignalSpy gamesChanged(&store(), &CatalogStore::gamesChanged);
  store().load();
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"snake"});
  EXPECT_EQ(gamesChanged.count(), 1);
  EXPECT_EQ(preferences_.value(kCatalogJSONKey), platform::PreferenceValue(cached));
}

}  // namespace
}  // namespace deskplay::core
