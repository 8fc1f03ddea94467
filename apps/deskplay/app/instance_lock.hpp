#pragma once

#include <filesystem>

#include "common/result.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::app {

// Makes this process the user's only running instance for as long as it lives: an exclusive
// lock on `lockFile`, which the system drops when the process ends however it ends. Start-up
// restores the desktop, so a second instance must never get that far while a game runs.
class InstanceLock {
 public:
  enum class Outcome { acquired, heldElsewhere };

  // The outcome, or an error when the lock file cannot be opened at all.
  Result<Outcome> acquire(const std::filesystem::path& lockFile);

 private:
  UniqueFd fd_;
};

}  // namespace deskplay::app
