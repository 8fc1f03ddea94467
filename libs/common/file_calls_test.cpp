// The thin wrappers over file-system calls that differ between platforms.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "common/durable_sync.hpp"
#include "common/exclusive_rename.hpp"
#include "common/fd_io.hpp"
#include "common/file_status.hpp"
#include "common/unique_fd.hpp"
#include "support/temp_dir.hpp"

namespace deskplay {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class FileCalls : public ::testing::Test {
 protected:
  TempDir dir;
  UniqueFd dirFd{::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
};

TEST_F(FileCalls, ExclusiveRenameMovesAndNeverReplaces) {
  writeFile(dir / "a", "A");
  writeFile(dir / "b", "B");
  ASSERT_EQ(renameExclusive(dirFd.get(), "a", dirFd.get(), "b"), -1);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(readFile(dir / "a"), "A");
  EXPECT_EQ(readFile(dir / "b"), "B");

  ASSERT_EQ(renameExclusive(dirFd.get(), "a", dirFd.get(), "c"), 0);
  EXPECT_EQ(readFile(dir / "c"), "A");
  EXPECT_FALSE(std::filesystem::exists(dir / "a"));
}

TEST_F(FileCalls, IdentityFieldsSurviveARename) {
  writeFile(dir / "entry", "x");
  FileStatus before, after;
  ASSERT_EQ(statAt(dirFd.get(), "entry", SymlinkPolicy::NoFollow, before), 0);
  ASSERT_EQ(renameExclusive(dirFd.get(), "entry", dirFd.get(), "renamed"), 0);
  ASSERT_EQ(statAt(dirFd.get(), "renamed", SymlinkPolicy::NoFollow, after), 0);
  EXPECT_EQ(before.device, after.device);
  EXPECT_EQ(before.inode, after.inode);
  EXPECT_EQ(before.birthSeconds, after.birthSeconds);
  EXPECT_EQ(before.birthNanoseconds, after.birthNanoseconds);
  EXPECT_TRUE(after.isRegularFile());
  EXPECT_EQ(after.size, 1);
}

TEST_F(FileCalls, StatAtReportsSymlinksAsThemselvesUnlessFollowing) {
  std::filesystem::create_directory(dir / "target");
  std::filesystem::create_directory_symlink(dir / "target", dir / "link");
  FileStatus own, followed;
  ASSERT_EQ(statAt(dirFd.get(), "link", SymlinkPolicy::NoFollow, own), 0);
  ASSERT_EQ(statAt(dirFd.get(), "link", SymlinkPolicy::Follow, followed), 0);
  EXPECT_TRUE(S_ISLNK(own.mode));
  EXPECT_TRUE(S_ISDIR(followed.mode));
  EXPECT_NE(own.inode, followed.inode);
}

TEST_F(FileCalls, StatDescriptorMatchesStatAt) {
  FileStatus byFd, byName;
  ASSERT_EQ(statDescriptor(dirFd.get(), byFd), 0);
  ASSERT_EQ(statAt(AT_FDCWD, dir.path().c_str(), SymlinkPolicy::NoFollow, byName), 0);
  EXPECT_EQ(byFd.inode, byName.inode);
  EXPECT_EQ(byFd.device, byName.device);
}

TEST_F(FileCalls, StatOfMissingEntryFailsWithEnoent) {
  FileStatus status;
  EXPECT_EQ(statAt(dirFd.get(), "missing", SymlinkPolicy::NoFollow, status), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(FileCalls, DurableSyncWorksOnFilesAndDirectoriesAndReportsBadDescriptors) {
  writeFile(dir / "f", "data");
  UniqueFd file(::open((dir / "f").c_str(), O_RDONLY | O_CLOEXEC));
  EXPECT_EQ(durableSync(file.get()), 0);
  EXPECT_EQ(durableSync(dirFd.get()), 0);
  EXPECT_EQ(durableSync(-1), -1);
  EXPECT_EQ(errno, EBADF);
}

TEST_F(FileCalls, ReadUpToAndWriteAllRoundTripLargeData) {
  std::string data(3 * 100000 + 7, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  {
    UniqueFd out(::open((dir / "big").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    ASSERT_EQ(writeAll(out.get(), data), 0);
  }
  std::string back(data.size() + 10, 'x');
  size_t filled = 0;
  UniqueFd in(::open((dir / "big").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(readUpTo(in.get(), back.data(), back.size(), filled), 0);
  EXPECT_EQ(filled, data.size());
  EXPECT_EQ(back.substr(0, filled), data);

  UniqueFd again(::open((dir / "big").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(readUpTo(again.get(), back.data(), 1000, filled), 0);
  EXPECT_EQ(filled, 1000u) << "stops when the buffer is full";
}

TEST_F(FileCalls, ReadUpToReportsErrors) {
  size_t filled = 7;
  char buffer[4];
  EXPECT_EQ(readUpTo(dirFd.get(), buffer, sizeof buffer, filled), -1);
  EXPECT_EQ(errno, EISDIR);
}

}  // namespace
}  // namespace deskplay
