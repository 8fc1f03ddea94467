#include "file_icons/finder_repaint.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "common/unique_fd.hpp"
#include "file_icons/file_icon_services.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::glyphon {
namespace {

using deskplay::testing::TempDir;

// Sets the modification date far into the past, so a touch shows.
void makeOld(const std::filesystem::path& path) {
  const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

time_t modificationTime(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return status.st_mtim.tv_sec;
}

// Watches the touches of one file. Linux reports a change of the modification date alone as
// a modification, and merges a touch into the previous one while that is unread; so the test
// reads each touch before the next is due.
class Touches {
 public:
  explicit Touches(const std::filesystem::path& path)
      : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(::inotify_add_watch(fd_.get(), path.c_str(), IN_MODIFY | IN_ATTRIB), 0);
  }

  // The touches reported within `timeout`, counted as soon as the first arrives.
  int next(std::chrono::milliseconds timeout) {
    pollfd watch{fd_.get(), POLLIN, 0};
    if (::poll(&watch, 1, static_cast<int>(timeout.count())) <= 0) return 0;
    int touches = 0;
    alignas(inotify_event) char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd_.get(), buffer, sizeof buffer)) > 0) {
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & (IN_MODIFY | IN_ATTRIB)) != 0) ++touches;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return touches;
  }

 private:
  UniqueFd fd_;
};

TEST(TouchModificationDate, SetsTheDateToNow) {
  TempDir folder;
  const auto file = folder / "sprite.txt";
  deskplay::testing::writeFile(file, "");
  makeOld(file);
  const time_t before = ::time(nullptr);
  touchModificationDate(file);
  EXPECT_GE(modificationTime(file), before);
}

TEST(TouchModificationDate, IgnoresAMissingFile) {
  TempDir folder;
  touchModificationDate(folder / "missing");
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST(NudgeFinderRepaint, NotesTheChangeAndTouchesTheFileThreeTimes) {
  TempDir folder;
  const auto file = folder / "sprite.txt";
  deskplay::testing::writeFile(file, "");
  makeOld(file);
  Touches touches(file);
  platform::testing::FakeWorkspace workspace;
  SerialQueue repaintQueue(kRepaintQueueLabel);

  const time_t before = ::time(nullptr);
  nudgeFinderRepaint(workspace, repaintQueue, file);
  // The first touch is done before the nudge returns.
  EXPECT_GE(modificationTime(file), before);
  EXPECT_EQ(workspace.fileSystemChanges(), std::vector<std::filesystem::path>{file});

  EXPECT_EQ(touches.next(std::chrono::milliseconds(0)), 1);
  // Then once about 120 ms later, and once more about 350 ms after the nudge.
  EXPECT_EQ(touches.next(std::chrono::seconds(5)), 1);
  EXPECT_EQ(touches.next(std::chrono::seconds(5)), 1);
  repaintQueue.finish();
  EXPECT_EQ(touches.next(std::chrono::milliseconds(0)), 0);
}

}  // namespace
}  // namespace deskplay::glyphon
