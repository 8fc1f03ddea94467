// Whatever the Desktop holds, and wherever a run of the stash dies, every entry ends up back on
// the Desktop as the same file (same device and inode) with the same content.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/stash/desktop_stash.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr int kRoundTripTrees = 60;
constexpr int kHideKillTrees = 24;
constexpr int kRestoreKillTrees = 12;
constexpr int kClashTrees = 10;

// One entry and everything under it: type, identity, and content or link target, recursively.
struct EntryState {
  mode_t type = 0;
  dev_t device = 0;
  ino_t inode = 0;
  std::string content;
  std::map<std::string, EntryState> children;

  bool operator==(const EntryState&) const = default;
};

EntryState stateOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  EntryState state{status.st_mode & S_IFMT, status.st_dev, status.st_ino, {}, {}};
  if (S_ISREG(status.st_mode)) state.content = readFile(path);
  if (S_ISLNK(status.st_mode)) state.content = fs::read_symlink(path).string();
  if (S_ISDIR(status.st_mode)) {
    for (const fs::directory_entry& child : fs::directory_iterator(path)) {
      state.children.emplace(child.path().filename().string(), stateOf(child.path()));
    }
  }
  return state;
}

using Snapshot = std::map<std::string, EntryState>;

Snapshot snapshot(const fs::path& directory) {
  Snapshot entries;
  std::error_code missing;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, missing)) {
    entries.emplace(entry.path().filename().string(), stateOf(entry.path()));
  }
  return entries;
}

bool present(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

// Builds a Desktop of random entries whose names mix the awkward parts real names have.
class DesktopBuilder {
 public:
  explicit DesktopBuilder(unsigned seed) : random_(seed) {}

  void build(const fs::path& desktop) {
    const int count = pick(1, 24);
    std::vector<std::string> made;
    for (int i = 0; i < count; ++i) {
      const std::string name = uniqueName(desktop, pick(0, 9) == 0 ? "." : "");
      const fs::path path = desktop / name;
      switch (pick(0, 5)) {
        case 0:
        case 1:
          writeFile(path, content());
          break;
        case 2:
          fs::create_directory(path);
          for (int inner = pick(0, 4); inner > 0; --inner)
            writeFile(path / uniqueName(path, ""), content());
          if (pick(0, 1) == 0) fs::create_directory(path / "nested folder");
          break;
        case 3:
          fs::create_symlink(
              made.empty()
                  ? "/nonexistent target"
                  : made[static_cast<std::size_t>(pick(0, static_cast<int>(made.size()) - 1))],
              path);
          break;
        case 4:
          fs::create_directory_symlink("..", path);
          break;
        default:
          writeFile(path, "");
          break;
      }
      made.push_back(name);
    }
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string uniqueName(const fs::path& directory, const std::string& prefix) {
    static const std::vector<std::string> kParts = {
        "Report", " ",      "final copy", "\"quoted\"", "it's", "\n",
        "Résumé", "日本語", "🎮",          "ß",          "\t",   "#1",
        "a",      "(2)",    "~",          "-",          "\\",   "\xff\xfe raw bytes",
        ".txt",   ".app",   "$HOME",      "*"};
    while (true) {
      std::string name = prefix;
      for (int parts = pick(1, 4); parts > 0; --parts) {
        name += kParts[static_cast<std::size_t>(pick(0, static_cast<int>(kParts.size()) - 1))];
      }
      if (name == "." || name == ".." || present(directory / name)) continue;
      return name;
    }
  }

  std::string content() {
    std::string bytes(static_cast<std::size_t>(pick(0, 64)), '\0');
    for (char& byte : bytes) byte = static_cast<char>(pick(0, 255));
    return bytes;
  }

  std::mt19937 random_;
};

Snapshot visibleOnly(Snapshot entries) {
  std::erase_if(entries, [](const auto& entry) { return entry.first.starts_with('.'); });
  return entries;
}

// Runs hide or restore in a child process that is killed just before the call's move number
// `killAt` (or, when there are fewer moves, once the call returns); true when it died that way.
bool runKilled(DesktopStash stash, StashMove direction, std::size_t killAt) {
  const pid_t child = ::fork();
  if (child == 0) {
    stash.setMoveHook([&](StashMove moving, std::size_t index, const std::string&) {
      if (moving == direction && index == killAt) ::raise(SIGKILL);
    });
    static_cast<void>(direction == StashMove::Hide ? stash.hide() : stash.restore());
    ::raise(SIGKILL);
    ::_exit(1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return false;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class DesktopSafetyTest : public ::testing::Test {
 protected:
  void freshHome() {
    home_.emplace();
    fs::create_directory(desktop());
  }
  fs::path desktop() const { return home_->path() / "Desktop"; }
  fs::path storage() const { return home_->path() / ".deskplay-stash"; }
  DesktopStash stash() const { return DesktopStash::forHome(home_->path()); }

  // Every visible entry sits whole in exactly one of the two places; hidden ones never moved.
  void expectNothingLost(const Snapshot& before) {
    const Snapshot onDesktop = snapshot(desktop());
    const Snapshot inStash = snapshot(storage());
    for (const auto& [name, state] : before) {
      const auto desk = onDesktop.find(name);
      const auto stashed = inStash.find(name);
      const bool deskHasIt = desk != onDesktop.end() && desk->second == state;
      const bool stashHasIt = stashed != inStash.end() && stashed->second == state;
      EXPECT_NE(deskHasIt, stashHasIt) << "entry " << name;
      if (name.starts_with('.')) {
        EXPECT_TRUE(deskHasIt) << "hidden entry " << name;
      }
    }
    EXPECT_EQ(onDesktop.size() + inStash.size(), before.size());
  }

  void expectFullyRestored(const Snapshot& before) {
    EXPECT_EQ(snapshot(desktop()), before);
    EXPECT_FALSE(present(storage()));
  }

  std::optional<TempDir> home_;
};

TEST_F(DesktopSafetyTest, HideThenRestoreGivesBackEveryEntry) {
  int entries = 0;
  for (int tree = 0; tree < kRoundTripTrees; ++tree) {
    SCOPED_TRACE("tree seed " + std::to_string(tree));
    freshHome();
    DesktopBuilder(static_cast<unsigned>(tree)).build(desktop());
    const Snapshot before = snapshot(desktop());
    entries += static_cast<int>(before.size());

    DesktopStash session = stash();
    ASSERT_TRUE(session.hide());
    for (const auto& [name, state] : snapshot(desktop())) {
      EXPECT_TRUE(name.starts_with('.')) << name;
    }
    EXPECT_EQ(snapshot(storage()), visibleOnly(before));
    ASSERT_TRUE(session.restore());
    expectFullyRestored(before);
  }
  std::printf("round trips: %d trees, %d entries\n", kRoundTripTrees, entries);
}

TEST_F(DesktopSafetyTest, AHideKilledBetweenAnyTwoMovesIsUndoneByTheNextStart) {
  int killPoints = 0;
  for (int tree = 0; tree < kHideKillTrees; ++tree) {
    freshHome();
    DesktopBuilder(1000U + static_cast<unsigned>(tree)).build(desktop());
    const Snapshot original = snapshot(desktop());
    const std::size_t moves = visibleOnly(original).size();
    // killAt == moves: the run dies after its last move, before anything else happens.
    for (std::size_t killAt = 0; killAt <= moves; ++killAt) {
      SCOPED_TRACE("tree seed " + std::to_string(1000 + tree) + ", killed before move " +
                   std::to_string(killAt));
      ASSERT_TRUE(runKilled(stash(), StashMove::Hide, killAt));
      expectNothingLost(original);
      EXPECT_EQ(visibleOnly(snapshot(desktop())).size(), moves - std::min(killAt, moves));
      ASSERT_TRUE(stash().restore());
      expectFullyRestored(original);
      ++killPoints;
    }
  }
  std::printf("hide killed: %d trees, %d kill points\n", kHideKillTrees, killPoints);
}

TEST_F(DesktopSafetyTest, ARestoreKilledBetweenAnyTwoMovesIsFinishedByTheNextStart) {
  int killPoints = 0;
  for (int tree = 0; tree < kRestoreKillTrees; ++tree) {
    freshHome();
    DesktopBuilder(2000U + static_cast<unsigned>(tree)).build(desktop());
    const Snapshot original = snapshot(desktop());
    const std::size_t moves = visibleOnly(original).size();
    for (std::size_t killAt = 0; killAt <= moves; ++killAt) {
      SCOPED_TRACE("tree seed " + std::to_string(2000 + tree) + ", killed before move " +
                   std::to_string(killAt));
      ASSERT_TRUE(stash().hide());
      ASSERT_TRUE(runKilled(stash(), StashMove::Restore, killAt));
      expectNothingLost(original);
      ASSERT_TRUE(stash().restore());
      expectFullyRestored(original);
      ++killPoints;
    }
  }
  std::printf("restore killed: %d trees, %d kill points\n", kRestoreKillTrees, killPoints);
}

TEST_F(DesktopSafetyTest, AClashLeavesExactlyTheClashingEntryInTheStash) {
  for (int tree = 0; tree < kClashTrees; ++tree) {
    SCOPED_TRACE("tree seed " + std::to_string(3000 + tree));
    freshHome();
    DesktopBuilder(3000U + static_cast<unsigned>(tree)).build(desktop());
    writeFile(desktop() / "clash target", "the user's file");
    const Snapshot original = snapshot(desktop());

    ASSERT_TRUE(stash().hide());
    const EntryState stashed = stateOf(storage() / "clash target");
    writeFile(desktop() / "clash target", "made during the game");
    const EntryState newcomer = stateOf(desktop() / "clash target");

    EXPECT_FALSE(stash().restore());
    const Snapshot left = snapshot(storage());
    ASSERT_EQ(left.size(), 1U);
    EXPECT_EQ(left.at("clash target"), stashed);
    Snapshot expected = original;
    expected["clash target"] = newcomer;
    EXPECT_EQ(snapshot(desktop()), expected);
  }
  std::printf("clashes: %d trees\n", kClashTrees);
}

}  // namespace
}  // namespace deskplay::core
