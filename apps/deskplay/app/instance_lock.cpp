#include "app/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "common/system_error.hpp"

namespace deskplay::app {

Result<InstanceLock::Outcome> InstanceLock::acquire(const std::filesystem::path& lockFile) {
  UniqueFd fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.valid()) return Error{errnoMessage("open " + lockFile.string(), errno)};
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return Outcome::heldElsewhere;
    return Error{errnoMessage("flock " + lockFile.string(), errno)};
  }
  fd_ = std::move(fd);
  return Outcome::acquired;
}

bool InstanceLock::waitForRelease(const std::filesystem::path& lockFile,
                                  platform::Clock::Seconds timeout, platform::Clock& clock) {
  const platform::Clock::Seconds deadline = clock.uptime() + timeout;
  for (;;) {
    const auto probe = InstanceLock().acquire(lockFile);
    if (!probe.ok() || probe.value() == Outcome::acquired) return true;
    if (clock.uptime() >= deadline) return false;
    clock.sleepFor(kReleasePollInterval);
  }
}

}  // namespace deskplay::app
