#include "core/appearance/snapshot_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "core/appearance/appearance_snapshot.hpp"
#include "platform/testing/fake_clock.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::writeFile;

class SnapshotFileTest : public ::testing::Test {
 protected:
  SnapshotFileTest() : file_(desktopSnapshotFile(AppPaths{home_.path(), home_.path(), {}})) {}

  static DesktopAppearance look() {
    DesktopAppearance appearance;
    appearance.iconSize = 48;
    appearance.dockAutohide = true;
    appearance.finderPreferences = {{"gridSpacing", std::nullopt}};
    appearance.positions = {{"notes.txt", 100, 200}};
    return appearance;
  }

  TempDir home_;
  fs::path file_;
  platform::testing::FakeClock clock_{platform::Clock::Seconds(1000),
                                      platform::Clock::Seconds(1.8e9)};
};

TEST_F(SnapshotFileTest, LivesInTheApplicationSupportFolder) {
  EXPECT_EQ(file_,
            home_.path() / "Library/Application Support/Deskplay/look/desktop-snapshot.json");
}

TEST_F(SnapshotFileTest, IsWrittenPrivatelyIntoAFolderMadeForItAndReadBack) {
  ASSERT_TRUE(writeDesktopSnapshot(file_, look()).ok());
  struct stat status {};
  ASSERT_EQ(::lstat(file_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600U);
  const auto read = readDesktopSnapshot(file_);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), look());
  // Nothing of the write is left beside it.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"desktop-snapshot.json"});
}

TEST_F(SnapshotFileTest, NoSnapshotIsNothingAndRemovingNoneIsNoError) {
  const auto read = readDesktopSnapshot(file_);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_FALSE(read.value());
  EXPECT_TRUE(removeSnapshotFile(file_).ok());
  ASSERT_TRUE(writeDesktopSnapshot(file_, look()).ok());
  EXPECT_TRUE(removeSnapshotFile(file_).ok());
  EXPECT_FALSE(fs::exists(file_));
}

// What may be found in the snapshot's place; each is an error, never a snapshot.
TEST_F(SnapshotFileTest, WhatIsNoReadableSnapshotIsAnError) {
  const std::string whole = encodeAppearanceSnapshot(look());
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
  };
  const std::vector<Case> cases = {
      {"a truncated file", [&](const fs::path& at) { writeFile(at, whole.substr(0, 20)); }},
      {"NUL bytes", [&](const fs::path& at) { writeFile(at, std::string(64, '\0')); }},
      {"a directory", [](const fs::path& at) { fs::create_directory(at); }},
      {"a link to a good snapshot",
       [&](const fs::path& at) {
         writeFile(at.parent_path() / "elsewhere.json", whole);
         fs::create_symlink("elsewhere.json", at);
       }},
      {"a dangling link", [](const fs::path& at) { fs::create_symlink("nowhere.json", at); }},
      {"a FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
      {"a file of many megabytes",
       [](const fs::path& at) { writeFile(at, std::string(8u << 20, ' ')); }},
  };
  for (const auto& [what, make] : cases) {
    TempDir folder;
    const fs::path at = folder / "desktop-snapshot.json";
    make(at);
    const auto read = readDesktopSnapshot(at);
    EXPECT_FALSE(read.ok()) << what;
  }
}

// When the folder cannot hold the snapshot, writing, keeping aside and removing say so.
TEST_F(SnapshotFileTest, AFolderThatCannotHoldTheSnapshotIsAnError) {
  struct Case {
    const char* what;
    std::function<Status(const fs::path&)> act;
  };
  const std::vector<Case> cases = {
      {"write", [](const fs::path& at) { return writeDesktopSnapshot(at, look()); }},
      {"keep aside",
       [this](const fs::path& at) {
         const auto aside = keepSnapshotAside(at, clock_);
         return aside.ok() ? Status::success() : Status(aside.error());
       }},
      {"remove", [](const fs::path& at) { return removeSnapshotFile(at); }},
  };
  for (const auto& [what, act] : cases) {
    TempDir folder;
    // A file where the snapshot's folder belongs.
    writeFile(folder / "look", "not a folder");
    const Status done = act(folder / "look" / "desktop-snapshot.json");
    EXPECT_FALSE(done.ok()) << what;
  }
}

TEST_F(SnapshotFileTest, AnUnreadableSnapshotIsKeptAsideUnderANewName) {
  fs::create_directories(file_.parent_path());
  writeFile(file_, "{\"version\":");
  const auto first = keepSnapshotAside(file_, clock_);
  ASSERT_TRUE(first.ok()) << first.message();
  EXPECT_EQ(first.value(),
            file_.parent_path() / "desktop-snapshot.json.unreadable-2027-01-15T08:00:00Z");
  EXPECT_EQ(testing::readFile(first.value()), "{\"version\":");
  EXPECT_FALSE(fs::exists(file_));

  // A second one within the same second keeps the first.
  fs::create_directory(file_);
  const auto second = keepSnapshotAside(file_, clock_);
  ASSERT_TRUE(second.ok()) << second.message();
  EXPECT_EQ(second.value().filename(), "desktop-snapshot.json.unreadable-2027-01-15T08:00:00Z-1");
  EXPECT_TRUE(fs::is_directory(second.value()));
  EXPECT_EQ(testing::readFile(first.value()), "{\"version\":");
}

TEST_F(SnapshotFileTest, ALinkInItsPlaceIsKeptAsideAsALink) {
  fs::create_directories(file_.parent_path());
  writeFile(home_.path() / "target", "x");
  fs::create_symlink(home_.path() / "target", file_);
  const auto aside = keepSnapshotAside(file_, clock_);
  ASSERT_TRUE(aside.ok()) << aside.message();
  EXPECT_TRUE(fs::is_symlink(aside.value()));
  EXPECT_EQ(testing::readFile(home_.path() / "target"), "x");
}

}  // namespace
}  // namespace deskplay::core
