#include "platform/linux/system_clock.hpp"

#include <thread>

namespace deskplay::platform {

Clock::Seconds SystemClock::uptime() const {
  // steady_clock is CLOCK_MONOTONIC, which, like the system uptime, stops while asleep.
  return std::chrono::steady_clock::now().time_since_epoch();
}

Clock::Seconds SystemClock::sinceEpoch() const {
  return std::chrono::system_clock::now().time_since_epoch();
}

void SystemClock::sleepFor(Seconds duration) {
  if (duration > Seconds::zero()) std::this_thread::sleep_for(duration);
}

}  // namespace deskplay::platform
