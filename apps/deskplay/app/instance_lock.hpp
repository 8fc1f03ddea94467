#pragma once

#include <filesystem>

#include "common/result.hpp"
#include "common/unique_fd.hpp"
#include "platform/clock.hpp"

namespace deskplay::app {

// Makes this process the user's only running instance for as long as it lives: an exclusive
// lock on `lockFile`, which the system drops when the process ends however it ends. Start-up
// restores the desktop, so a second instance must never get that far while a game runs.
class InstanceLock {
 public:
  enum class Outcome { acquired, heldElsewhere };

  // The outcome, or an error when the lock file cannot be opened at all.
  Result<Outcome> acquire(const std::filesystem::path& lockFile);

  // For an instance started by a relaunch: waits, checking every kReleasePollInterval, until
  // no other process holds the lock on `lockFile` or `timeout` has passed. False when it was
  // still held at the last look; a lock file that cannot be opened is left to acquire() to
  // report. The lock is not kept: acquire() takes it.
  static bool waitForRelease(const std::filesystem::path& lockFile,
                             platform::Clock::Seconds timeout, platform::Clock& clock);
  static constexpr platform::Clock::Seconds kReleasePollInterval{0.05};

 private:
  UniqueFd fd_;
};

}  // namespace deskplay::app
