#include "core/stash/desktop_stash.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// What identifies an entry and what it holds: type, inode, and content or link target.
struct EntryState {
  mode_t type = 0;
  dev_t device = 0;
  ino_t inode = 0;
  std::string content;

  bool operator==(const EntryState&) const = default;
};

EntryState stateOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  EntryState state{status.st_mode & S_IFMT, status.st_dev, status.st_ino, {}};
  if (S_ISREG(status.st_mode)) state.content = readFile(path);
  if (S_ISLNK(status.st_mode)) state.content = fs::read_symlink(path).string();
  return state;
}

std::map<std::string, EntryState> snapshot(const fs::path& directory) {
  std::map<std::string, EntryState> entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    entries.emplace(entry.path().filename().string(), stateOf(entry.path()));
  }
  return entries;
}

bool present(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

class DesktopStashTest : public ::testing::Test {
 protected:
  DesktopStashTest() { fs::create_directory(desktop()); }

  fs::path desktop() const { return home_ / "Desktop"; }
  fs::path storage() const { return home_ / ".deskplay-stash"; }

  TempDir home_;
  DesktopStash stash_ = DesktopStash::forHome(home_.path());
};

TEST_F(DesktopStashTest, ForHomeUsesTheDesktopAndTheHiddenStashFolder) {
  EXPECT_EQ(stash_.desktop(), desktop());
  EXPECT_EQ(stash_.storage(), storage());
}

TEST_F(DesktopStashTest, HideMovesEveryVisibleEntryAndRestorePutsBackTheSameEntries) {
  const std::vector<std::string> names = {
      "plain.txt",     "with space.pdf", "quote\"d 'name'", "new\nline",
      "Résumé 日本 🎮", "-dash",          "back\\slash",
  };
  for (const std::string& name : names) writeFile(desktop() / name, "content of " + name);
  fs::create_directories(desktop() / "Folder" / "inner");
  writeFile(desktop() / "Folder" / "inner" / "deep.txt", "deep");
  fs::create_symlink("Folder", desktop() / "link to folder");
  fs::create_symlink("/nonexistent/target", desktop() / "dangling link");
  fs::create_symlink("../outside", desktop() / "relative link");
  writeFile(desktop() / ".hidden", "hidden");
  writeFile(desktop() / ".DS_Store", "finder");
  fs::create_directory(desktop() / ".hidden folder");

  const std::map<std::string, EntryState> before = snapshot(desktop());
  ASSERT_TRUE(stash_.hide());

  std::map<std::string, EntryState> visible = before;
  std::erase_if(visible, [](const auto& entry) { return entry.first.starts_with('.'); });
  EXPECT_EQ(snapshot(storage()), visible);
  const std::map<std::string, EntryState> left = snapshot(desktop());
  for (const auto& [name, state] : left) EXPECT_TRUE(name.starts_with('.')) << name;
  EXPECT_EQ(left.size(), 3U);

  ASSERT_TRUE(stash_.restore());
  EXPECT_EQ(snapshot(desktop()), before);
  EXPECT_EQ(readFile(desktop() / "Folder" / "inner" / "deep.txt"), "deep");
  EXPECT_FALSE(present(storage()));
}

TEST_F(DesktopStashTest, NothingVisibleToHideIsSuccessWithoutAStash) {
  EXPECT_TRUE(stash_.hide());
  EXPECT_FALSE(present(storage()));

  writeFile(desktop() / ".only hidden", "x");
  fs::create_directory(desktop() / ".DS_Store");
  EXPECT_TRUE(stash_.hide());
  EXPECT_FALSE(present(storage()));
  EXPECT_TRUE(present(desktop() / ".only hidden"));
}

TEST_F(DesktopStashTest, HideCreatesMissingParentsOfTheStash) {
  DesktopStash nested(desktop(), home_ / "a" / "b" / "stash");
  writeFile(desktop() / "file", "x");
  ASSERT_TRUE(nested.hide());
  EXPECT_EQ(readFile(home_ / "a" / "b" / "stash" / "file"), "x");
  EXPECT_TRUE(nested.restore());
  EXPECT_EQ(readFile(desktop() / "file"), "x");
}

TEST_F(DesktopStashTest, HideNeverOverwritesAnEntryAlreadyInTheStash) {
  fs::create_directory(storage());
  writeFile(storage() / "report.txt", "stashed earlier");
  writeFile(desktop() / "report.txt", "on the desktop");
  writeFile(desktop() / "other.txt", "other");

  EXPECT_FALSE(stash_.hide());
  EXPECT_EQ(readFile(storage() / "report.txt"), "stashed earlier");
  EXPECT_EQ(readFile(desktop() / "report.txt"), "on the desktop");
  EXPECT_EQ(readFile(storage() / "other.txt"), "other");
}

TEST_F(DesktopStashTest, RestoreWithoutAStashIsSuccess) {
  EXPECT_TRUE(stash_.restore());
  EXPECT_TRUE(snapshot(desktop()).empty());
}

TEST_F(DesktopStashTest, FinderMetadataStaysBehindAndGoesWithTheStash) {
  fs::create_directory(storage());
  writeFile(storage() / ".DS_Store", "finder");
  ASSERT_TRUE(stash_.restore());
  EXPECT_FALSE(present(storage()));
  EXPECT_FALSE(present(desktop() / ".DS_Store"));

  fs::create_directory(storage());
  writeFile(storage() / ".DS_Store", "finder");
  writeFile(storage() / "entry", "x");
  writeFile(storage() / ".put there by hand", "y");
  ASSERT_TRUE(stash_.restore());
  EXPECT_FALSE(present(storage()));
  EXPECT_FALSE(present(desktop() / ".DS_Store"));
  EXPECT_EQ(readFile(desktop() / "entry"), "x");
  EXPECT_EQ(readFile(desktop() / ".put there by hand"), "y");
}

TEST_F(DesktopStashTest, FinderMetadataThatIsNotAFileIsLeftAndTheStashKept) {
  fs::create_directory(storage());
  fs::create_directory(storage() / ".DS_Store");
  writeFile(storage() / ".DS_Store" / "inside", "kept");
  writeFile(storage() / "entry", "x");

  EXPECT_FALSE(stash_.restore());
  EXPECT_EQ(readFile(storage() / ".DS_Store" / "inside"), "kept");
  EXPECT_EQ(readFile(desktop() / "entry"), "x");
}

TEST_F(DesktopStashTest, AClashOnRestoreMovesTheRestAndKeepsOnlyTheClashingEntry) {
  writeFile(desktop() / "notes.txt", "original");
  writeFile(desktop() / "a.txt", "a");
  fs::create_directory(desktop() / "folder");
  ASSERT_TRUE(stash_.hide());
  const EntryState stashedNotes = stateOf(storage() / "notes.txt");
  writeFile(desktop() / "notes.txt", "made during the game");

  EXPECT_FALSE(stash_.restore());
  EXPECT_EQ(readFile(desktop() / "notes.txt"), "made during the game");
  EXPECT_EQ(readFile(desktop() / "a.txt"), "a");
  EXPECT_TRUE(fs::is_directory(desktop() / "folder"));
  const std::map<std::string, EntryState> left = snapshot(storage());
  ASSERT_EQ(left.size(), 1U);
  EXPECT_EQ(left.at("notes.txt"), stashedNotes);

  // Once the user clears the clash, a second restore finishes the job.
  fs::remove(desktop() / "notes.txt");
  EXPECT_TRUE(stash_.restore());
  EXPECT_EQ(readFile(desktop() / "notes.txt"), "original");
  EXPECT_FALSE(present(storage()));
}

// Neither side may be reached through a symbolic link or be something other than a folder.
struct NotADirectoryCase {
  const char* label;
  void (*arrangeStash)(const fs::path& storage, const fs::path& elsewhere);
};

void PrintTo(const NotADirectoryCase& item, std::ostream* out) {
  *out << item.label;
}

class StashPathNotADirectoryTest : public DesktopStashTest,
                                   public ::testing::WithParamInterface<NotADirectoryCase> {};

TEST_P(StashPathNotADirectoryTest, RestoreFailsAndHideMovesNothing) {
  GetParam().arrangeStash(storage(), home_ / "elsewhere");
  writeFile(desktop() / "entry", "x");

  EXPECT_FALSE(stash_.restore());
  EXPECT_FALSE(stash_.hide());
  EXPECT_EQ(readFile(desktop() / "entry"), "x");
  EXPECT_FALSE(present(home_ / "elsewhere" / "entry"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StashPathNotADirectoryTest,
    ::testing::Values(NotADirectoryCase{"RegularFile",
                                        [](const fs::path& storage, const fs::path&) {
                                          writeFile(storage, "not a folder");
                                        }},
                      NotADirectoryCase{"LinkToFolder",
                                        [](const fs::path& storage, const fs::path& elsewhere) {
                                          fs::create_directory(elsewhere);
                                          fs::create_directory_symlink(elsewhere, storage);
                                        }},
                      NotADirectoryCase{"DanglingLink",
                                        [](const fs::path& storage, const fs::path& elsewhere) {
                                          fs::create_symlink(elsewhere, storage);
                                        }}),
    [](const ::testing::TestParamInfo<NotADirectoryCase>& param) { return param.param.label; });

TEST_F(DesktopStashTest, ADesktopThatIsALinkOrMissingIsNotUsed) {
  fs::create_directory(home_ / "real");
  writeFile(home_ / "real" / "entry", "x");
  DesktopStash linked(home_ / "linked desktop", storage());
  fs::create_directory_symlink(home_ / "real", home_ / "linked desktop");
  EXPECT_FALSE(linked.hide());
  EXPECT_FALSE(present(storage()));

  DesktopStash missing(home_ / "missing", storage());
  EXPECT_FALSE(missing.hide());

  fs::create_directory(storage());
  writeFile(storage() / "stashed", "s");
  EXPECT_FALSE(linked.restore());
  EXPECT_FALSE(missing.restore());
  EXPECT_EQ(readFile(storage() / "stashed"), "s");
  EXPECT_FALSE(present(home_ / "real" / "stashed"));
}

TEST_F(DesktopStashTest, TheHookSeesEachMoveBeforeItHappens) {
  writeFile(desktop() / "one", "1");
  writeFile(desktop() / "two", "2");
  writeFile(desktop() / ".hidden", "h");
  struct Seen {
    StashMove direction;
    std::size_t index;
    std::string name;
    bool stillOnDesktop;
  };
  std::vector<Seen> seen;
  stash_.setMoveHook([&](StashMove direction, std::size_t index, const std::string& name) {
    seen.push_back({direction, index, name, present(desktop() / name)});
  });

  ASSERT_TRUE(stash_.hide());
  ASSERT_TRUE(stash_.restore());
  ASSERT_EQ(seen.size(), 4U);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const bool hiding = i < 2;
    EXPECT_EQ(seen[i].direction, hiding ? StashMove::Hide : StashMove::Restore);
    EXPECT_EQ(seen[i].index, i % 2);
    EXPECT_EQ(seen[i].stillOnDesktop, hiding) << seen[i].name;
    EXPECT_NE(seen[i].name, ".hidden");
  }
}

}  // namespace
}  // namespace deskplay::core
