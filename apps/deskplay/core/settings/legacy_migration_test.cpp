#include "core/settings/legacy_migration.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;

// Tree entries as "dir/", "file=content" or "link->target", relative to a root.
using Tree = std::vector<std::string>;

void build(const fs::path& root, const Tree& entries) {
  for (const std::string& entry : entries) {
    if (entry.ends_with('/')) {
      fs::create_directories(root / entry);
    } else if (const auto arrow = entry.find("->"); arrow != std::string::npos) {
      fs::create_directories((root / entry.substr(0, arrow)).parent_path());
      fs::create_symlink(entry.substr(arrow + 2), root / entry.substr(0, arrow));
    } else {
      const auto equals = entry.find('=');
      fs::create_directories((root / entry.substr(0, equals)).parent_path());
      testing::writeFile(root / entry.substr(0, equals), entry.substr(equals + 1));
    }
  }
}

// What is below `root`, in the form build() takes, sorted; nothing when `root` is missing.
Tree snapshot(const fs::path& root) {
  Tree entries;
  if (!fs::exists(fs::symlink_status(root))) return {"(missing)"};
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string name = it->path().lexically_relative(root).string();
    if (it->is_symlink()) {
      entries.push_back(name + "->" + fs::read_symlink(it->path()).string());
    } else if (it->is_directory()) {
      entries.push_back(name + "/");
    } else {
      entries.push_back(name + "=" + testing::readFile(it->path()));
    }
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(StandardizedPath, ResolvesDotsAndTrailingSeparators) {
  const struct {
    fs::path given;
    fs::path standardized;
  } cases[] = {
      {"/home/u/Documents/Deskplay/", "/home/u/Documents/Deskplay"},
      {"/home/u/./Documents/x/../Deskplay", "/home/u/Documents/Deskplay"},
      {"/home/u/Documents/Deskplay", "/home/u/Documents/Deskplay"},
      {"/", "/"},
  };
  for (const auto& c : cases) EXPECT_EQ(standardizedPath(c.given), c.standardized) << c.given;
}

TEST(LegacyMigration, MovesWorkIntoAnEmptyDataFolderOnly) {
  const struct {
    const char* name;
    Tree legacyBefore;  // "(none)": no legacy folder
    Tree currentBefore;
    Tree legacyAfter;
    Tree currentAfter;
  } cases[] = {
      {"moves files and folders, keeps the old folder",
       {"notes.txt=n", "pixel/art/one.png=1", "pixel/art/empty/"},
       {},
       {},
       {"notes.txt=n", "pixel/", "pixel/art/", "pixel/art/empty/", "pixel/art/one.png=1"}},
      {"no legacy folder: nothing is created", {"(none)"}, {}, {"(missing)"}, {"(missing)"}},
      {"legacy with only .DS_Store still creates the data folder",
       {".DS_Store=f"},
       {},
       {".DS_Store=f"},
       {}},
      {"data folder with only .DS_Store still receives the work",
       {"a=1", ".DS_Store=old"},
       {".DS_Store=new"},
       {".DS_Store=old"},
       {".DS_Store=new", "a=1"}},
      {"a data folder holding work is never merged into",
       {"a=1", "b/c=2"},
       {"mine=0"},
       {"a=1", "b/", "b/c=2"},
       {"mine=0"}},
      {"a data folder holding only an empty folder counts as work",
       {"a=1"},
       {"empty/"},
       {"a=1"},
       {"empty/"}},
      {"links move as links, dangling ones too",
       {"to-tmp->/tmp", "nowhere->missing-target"},
       {},
       {},
       {"nowhere->missing-target", "to-tmp->/tmp"}},
      {"a legacy file instead of a folder moves nothing", {"(file)"}, {}, {"(file)"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir root;
    const fs::path legacy = root / "legacy";
    const fs::path current = root / "current";
    if (c.legacyBefore == Tree{"(file)"}) {
      testing::writeFile(legacy, "x");
    } else if (c.legacyBefore != Tree{"(none)"}) {
      fs::create_directories(legacy);
      build(legacy, c.legacyBefore);
    }
    if (!c.currentBefore.empty()) build(current, c.currentBefore);

    migrateLegacyFolder(legacy, current, {});

    if (c.legacyAfter == Tree{"(file)"}) {
      EXPECT_EQ(testing::readFile(legacy), "x");
    } else {
      EXPECT_EQ(snapshot(legacy), c.legacyAfter);
    }
    EXPECT_EQ(snapshot(current), c.currentAfter);
  }
}

TEST(LegacyMigration, ExcludedNamesStay) {
  testing::TempDir root;
  build(root / "legacy", {"games/pong/manifest.json={}", "work=1"});
  migrateLegacyFolder(root / "legacy", root / "current", {{"games"}});
  EXPECT_EQ(snapshot(root / "legacy"),
            (Tree{"games/", "games/pong/", "games/pong/manifest.json={}"}));
  EXPECT_EQ(snapshot(root / "current"), Tree{"work=1"});
}

TEST(LegacyMigration, TheSameFolderUnderAnotherSpellingIsLeftAlone) {
  testing::TempDir root;
  build(root / "legacy", {"a=1"});
  for (const fs::path& current : {root / "legacy/", root / "./legacy", root / "x/../legacy"}) {
    migrateLegacyFolder(root / "legacy", current, {});
    EXPECT_EQ(snapshot(root / "legacy"), Tree{"a=1"}) << current;
  }
}

TEST(LegacyMigration, ADataFolderInsideTheLegacyFolderIsNotMovedIntoItself) {
  testing::TempDir root;
  build(root / "legacy", {"work/a=1", "b=2"});
  migrateLegacyFolder(root / "legacy", root / "legacy" / "work" / "inner", {});
  EXPECT_EQ(snapshot(root / "legacy"),
            (Tree{"work/", "work/a=1", "work/inner/", "work/inner/b=2"}));
}

TEST(LegacyMigration, ADataFolderReachedThroughALinkIsNotMovedIntoItself) {
  testing::TempDir root;
  build(root / "real", {"work/a=1", "b=2"});
  fs::create_symlink(root / "real", root / "legacy");
  migrateLegacyFolder(root / "legacy", root / "real" / "work" / "inner", {});
  EXPECT_EQ(snapshot(root / "real"), (Tree{"work/", "work/a=1", "work/inner/", "work/inner/b=2"}));
}

TEST(LegacyMigration, ADataFolderThatCannotBeCreatedLeavesTheLegacyWorkWhole) {
  testing::TempDir root;
  build(root / "legacy", {"a=1", "d/e=2"});
  testing::writeFile(root / "current", "in the way");
  migrateLegacyFolder(root / "legacy", root / "current", {});
  EXPECT_EQ(snapshot(root / "legacy"), (Tree{"a=1", "d/", "d/e=2"}));
  EXPECT_EQ(snapshot(root.path()),
            (Tree{"current=in the way", "legacy/", "legacy/a=1", "legacy/d/", "legacy/d/e=2"}));
}

// A folder on another file system than the temporary one, for moves that must copy.
std::optional<fs::path> otherVolume(const fs::path& local) {
  std::error_code error;
  if (!fs::is_directory("/dev/shm", error)) return std::nullopt;
  struct stat localStatus {};
  struct stat otherStatus {};
  if (::stat(local.c_str(), &localStatus) != 0 || ::stat("/dev/shm", &otherStatus) != 0) {
    return std::nullopt;
  }
  if (localStatus.st_dev == otherStatus.st_dev) return std::nullopt;
  return fs::path("/dev/shm");
}

TEST(LegacyMigration, AcrossFileSystemsTheWorkIsCopied) {
  testing::TempDir local;
  const auto volume = otherVolume(local.path());
  if (!volume) GTEST_SKIP() << "no second file system at /dev/shm";
  testing::TempDir other(*volume);

  build(other / "legacy", {"a=1", "art/b.png=2", "link->a"});
  migrateLegacyFolder(other / "legacy", local / "current", {});
  const Tree expected{"a=1", "art/", "art/b.png=2", "link->a"};
  EXPECT_EQ(snapshot(local / "current"), expected);
  EXPECT_EQ(snapshot(other / "legacy"), expected);
}

// What appeared at the destination after it was checked is never replaced, whether the entry
// is renamed or copied across.
TEST(TransferWithoutReplacing, NeverReplacesWhatIsThere) {
  const struct {
    const char* name;
    Tree destination;  // the destination folder's content before; "taken" is the target name
    bool arrives;
  } cases[] = {
      {"free name", {}, true},
      {"file in the way", {"taken=mine"}, false},
      {"folder in the way", {"taken/keep=k"}, false},
      {"dangling link in the way", {"taken->nowhere"}, false},
  };
  testing::TempDir probe;
  const auto volume = otherVolume(probe.path());
  for (const bool acrossVolumes : {false, true}) {
    if (acrossVolumes && !volume) continue;
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (acrossVolumes ? ", across volumes" : ""));
      testing::TempDir sourceRoot(acrossVolumes ? *volume : fs::path());
      testing::TempDir destinationRoot;
      build(sourceRoot / "work", {"inner/a=1"});
      fs::create_directories(destinationRoot / "to");
      build(destinationRoot / "to", c.destination);
      const Tree before = snapshot(destinationRoot / "to");

      EXPECT_EQ(transferWithoutReplacing(sourceRoot / "work", destinationRoot / "to" / "taken"),
                c.arrives);
      if (c.arrives) {
        EXPECT_EQ(snapshot(destinationRoot / "to"),
                  (Tree{"taken/", "taken/inner/", "taken/inner/a=1"}));
      } else {
        EXPECT_EQ(snapshot(destinationRoot / "to"), before);
        EXPECT_EQ(snapshot(sourceRoot / "work"), (Tree{"inner/", "inner/a=1"}));
      }
    }
  }
}

TEST(TransferWithoutReplacing, AMissingSourceArrivesNowhere) {
  testing::TempDir root;
  EXPECT_FALSE(transferWithoutReplacing(root / "missing", root / "to"));
  EXPECT_EQ(snapshot(root.path()), Tree{});
}

}  // namespace
}  // namespace deskplay::core
