#include "core/feedback/session_files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using deskplay::testing::TempDir;
using deskplay::testing::writeFile;

mode_t modeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}

// Sets the process umask for one test.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

TEST(PrivateDirectoryTest, IsOwnerOnlyWhateverTheUmask) {
  TempDir root;
  for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0277}}) {
    const ScopedUmask scoped(mask);
    const fs::path path = root / ("dir" + std::to_string(mask));
    ASSERT_TRUE(createPrivateDirectory(path).ok());
    EXPECT_EQ(modeOf(path), 0700u) << "umask " << mask;
  }
}

TEST(PrivateDirectoryTest, RefusesWhatAlreadyExists) {
  TempDir root;
  fs::create_directory(root / "planted");
  fs::create_directory(root / "elsewhere");
  fs::create_directory_symlink(root / "elsewhere", root / "link");
  writeFile(root / "file", "x");
  fs::permissions(root / "elsewhere", fs::perms::owner_all | fs::perms::group_read);
  const mode_t before = modeOf(root / "elsewhere");

  for (const char* name : {"planted", "link", "file"}) {
    const Status created = createPrivateDirectory(root / name);
    EXPECT_FALSE(created.ok()) << name;
  }
  EXPECT_TRUE(fs::is_symlink(root / "link"));
  // Nothing was changed through the link.
  EXPECT_EQ(modeOf(root / "elsewhere"), before);
}

TEST(PrivateDirectoryTest, NeedsItsParent) {
  TempDir root;
  const Status created = createPrivateDirectory(root / "missing" / "dir");
  ASSERT_FALSE(created.ok());
  EXPECT_FALSE(fs::exists(root / "missing"));
}

TEST(RecordFileTest, GivesNothingForAMissingFileAndTheBytesOfARegularOne) {
  TempDir root;
  const Result<std::optional<std::string>, FeedbackError> missing =
      readRecordFile(root / "status.json");
  ASSERT_TRUE(missing.ok());
  EXPECT_FALSE(missing.value().has_value());

  writeFile(root / "status.json", "{\"version\":2}");
  const Result<std::optional<std::string>, FeedbackError> present =
      readRecordFile(root / "status.json");
  ASSERT_TRUE(present.ok());
  EXPECT_EQ(present.value(), "{\"version\":2}");
}

TEST(RecordFileTest, RefusesLinksPipesAndFolders) {
  TempDir root;
  writeFile(root / "real.json", "{}");
  fs::create_symlink(root / "real.json", root / "link.json");
  fs::create_symlink(root / "nowhere.json", root / "dangling.json");
  ASSERT_EQ(::mkfifo((root / "pipe.json").c_str(), 0600), 0);
  fs::create_directory(root / "folder.json");

  // A pipe with no writer would block a plain read for ever.
  for (const char* name : {"link.json", "dangling.json", "pipe.json", "folder.json"}) {
    const Result<std::optional<std::string>, FeedbackError> read = readRecordFile(root / name);
    ASSERT_FALSE(read.ok()) << name;
    EXPECT_EQ(read.error().failure, FeedbackFailure::invalidRecord) << name;
  }
}

TEST(RecordFileTest, ReadsNoMoreThanOneByteBeyondTheLimit) {
  TempDir root;
  writeFile(root / "status.json", std::string(1 << 20, ' '));
  const Result<std::optional<std::string>, FeedbackError> read =
      readRecordFile(root / "status.json");
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.value()->size(), 65536u);
}

TEST(RecordFileTest, PassesOtherFileSystemErrorsThrough) {
  TempDir root;
  writeFile(root / "file", "{}");
  const Result<std::optional<std::string>, FeedbackError> read =
      readRecordFile(root / "file" / "status.json");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().failure, FeedbackFailure::fileSystemFailed);
  EXPECT_NE(read.message().find("errno " + std::to_string(ENOTDIR)), std::string::npos);
}

}  // namespace
}  // namespace deskplay::core
