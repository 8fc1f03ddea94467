#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace deskplay::core {

// One process as the system shows it now.
struct ProcessStatus {
  // When the process started, in the system's own terms (Linux: clock ticks since boot;
  // macOS: seconds and microseconds since 1970). Two processes that had the same id at
  // different times have different start times.
  std::string startTime;
  pid_t processGroup = 0;
  // The process has ended and waits for its parent to collect it: it runs no more.
  bool ended = false;
};

// The process `pid`, or nothing when there is none.
std::optional<ProcessStatus> processStatus(pid_t pid);

// The identity of the running boot of the system; nothing when it cannot be read. A start
// time means something only together with it.
std::optional<std::string> currentBootId();

// Whether a process of the group `group` still runs; ended processes that wait to be
// collected do not count.
bool processGroupRuns(pid_t group);

// Polls until nothing of the group runs or `limit` has passed; true when it ended. A group
// that was just killed needs this: its members die a moment after the signal is sent.
bool awaitGroupEnd(pid_t group, std::chrono::milliseconds limit);

}  // namespace deskplay::core
