#pragma once

#include <signal.h>
#include <sys/types.h>

#include <fstream>
#include <string>
#include <vector>

namespace deskplay::testing {

// The process runs: it exists and has not ended (one that ended and waits for its parent to
// collect it does not run). Read from /proc, apart from the code under test.
inline bool processRuns(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  std::getline(in, stat);
  const auto close = stat.rfind(')');
  if (close == std::string::npos || close + 2 >= stat.size()) return false;
  return stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}

// Kills what a test's engines left behind, whatever the test's outcome.
class ProcessReaper {
 public:
  ProcessReaper() = default;
  ProcessReaper(const ProcessReaper&) = delete;
  ProcessReaper& operator=(const ProcessReaper&) = delete;
  ~ProcessReaper() {
    for (const pid_t group : groups_) ::kill(-group, SIGKILL);
    for (const pid_t pid : pids_) ::kill(pid, SIGKILL);
  }

  // A group the test's engine leads.
  void group(pid_t group) {
    if (group > 1) groups_.push_back(group);
  }
  void process(pid_t pid) {
    if (pid > 1) pids_.push_back(pid);
  }

 private:
  std::vector<pid_t> groups_;
  std::vector<pid_t> pids_;
};

}  // namespace deskplay::testing
