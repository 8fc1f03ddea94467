#pragma once

#include <chrono>

namespace deskplay::platform {

// Time, as the process info's system uptime, the current date and a thread sleep give it.
// Polls, delays and the motion engine take a Clock so that tests can move time by hand.
// Any thread may call it.
class Clock {
 public:
  using Seconds = std::chrono::duration<double>;

  virtual ~Clock() = default;

  // Monotonic time since the machine started, not counting sleep.
  virtual Seconds uptime() const = 0;
  // Wall-clock time since 1970-01-01 00:00 UTC.
  virtual Seconds sinceEpoch() const = 0;
  // Blocks the calling thread.
  virtual void sleepFor(Seconds duration) = 0;
};

}  // namespace deskplay::platform
