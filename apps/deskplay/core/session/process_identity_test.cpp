#include "core/session/process_identity.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

extern char** environ;

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;

// `argv` started as the leader of a process group of its own, as the engine is; killed with
// its group and collected when it goes.
class GroupLeader {
 public:
  explicit GroupLeader(std::vector<std::string> argv) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> args;
    for (auto& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, args[0], nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    EXPECT_EQ(spawned, 0);
  }
  GroupLeader(const GroupLeader&) = delete;
  GroupLeader& operator=(const GroupLeader&) = delete;
  ~GroupLeader() {
    ::kill(-pid_, SIGKILL);
    collect();
  }

  pid_t pid() const { return pid_; }
  // Waits for the end without collecting the process.
  void waitForEnd() const {
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT);
  }
  void collect() {
    if (collected_) return;
    ::waitpid(pid_, nullptr, 0);
    collected_ = true;
  }

 private:
  pid_t pid_ = -1;
  bool collected_ = false;
};

TEST(ProcessStatus, ReadsTheGroupAndStartOfARunningProcess) {
  const auto self = processStatus(::getpid());
  ASSERT_TRUE(self);
  EXPECT_EQ(self->processGroup, ::getpgrp());
  EXPECT_FALSE(self->ended);

  // A command name with spaces and parentheses must not shift the fields after it.
  testing::TempDir dir;
  const fs::path oddName = dir / "x) 1 2 (y";
  fs::create_symlink("/usr/bin/tail", oddName);
  GroupLeader child({oddName.string(), "-f", "/dev/null"});
  // Until it has run the program, the child still bears this test's name.
  ASSERT_TRUE(testing::eventually([&] {
    return testing::readFile("/proc/" + std::to_string(child.pid()) + "/comm") ==
           oddName.filename().string() + "\n";
  }));
  const auto status = processStatus(child.pid());
  ASSERT_TRUE(status);
  EXPECT_EQ(status->processGroup, child.pid());
  EXPECT_FALSE(status->ended);
  // It started after this test did.
  EXPECT_GE(std::stoull(status->startTime), std::stoull(self->startTime));
}

TEST(ProcessStatus, AProcessThatEndedRunsNoMoreAndOnceCollectedIsGone) {
  GroupLeader child({"/bin/true"});
  child.waitForEnd();
  const auto status = processStatus(child.pid());
  ASSERT_TRUE(status);
  EXPECT_TRUE(status->ended);
  EXPECT_FALSE(processGroupRuns(child.pid()));

  child.collect();
  EXPECT_FALSE(processStatus(child.pid()));
  EXPECT_FALSE(processGroupRuns(child.pid()));
}

TEST(ProcessGroupRuns, WhileAnyMemberRunsEvenAfterItsLeaderEnded) {
  // The leader leaves a member behind, as an engine that dies leaves its companions.
  GroupLeader leader({"/bin/sh", "-c", "tail -f /dev/null & exit 0"});
  leader.waitForEnd();
  leader.collect();
  EXPECT_TRUE(processGroupRuns(leader.pid()));

  ::kill(-leader.pid(), SIGKILL);
  EXPECT_TRUE(testing::eventually([&] { return !processGroupRuns(leader.pid()); }));
}

TEST(ProcessGroupRuns, IdsThatNameNoSingleGroup) {
  // 0 is the caller's own group, -1 every process, 1 init's.
  for (const pid_t group : {-7, -1, 0, 1}) {
    SCOPED_TRACE(group);
    EXPECT_FALSE(processGroupRuns(group));
    if (group <= 0) {
      EXPECT_FALSE(processStatus(group));
    }
  }
}

TEST(CurrentBootId, IsTheSameForEveryCall) {
  const auto boot = currentBootId();
  ASSERT_TRUE(boot);
  EXPECT_FALSE(boot->empty());
  EXPECT_EQ(boot->find_first_of(" \n"), std::string::npos);
  EXPECT_EQ(currentBootId(), boot);
}

}  // namespace
}  // namespace deskplay::core
