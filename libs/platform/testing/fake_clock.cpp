#include "platform/testing/fake_clock.hpp"

namespace deskplay::platform::testing {

FakeClock::FakeClock(Seconds uptime, Seconds sinceEpoch)
    : uptime_(uptime), sinceEpoch_(sinceEpoch) {}

Clock::Seconds FakeClock::uptime() const {
  std::lock_guard lock(mutex_);
  return uptime_;
}

Clock::Seconds FakeClock::sinceEpoch() const {
  std::lock_guard lock(mutex_);
  return sinceEpoch_;
}

void FakeClock::sleepFor(Seconds duration) {
  std::lock_guard lock(mutex_);
  sleeps_.push_back(duration);
  if (duration > Seconds::zero()) {
    uptime_ += duration;
    sinceEpoch_ += duration;
  }
}

void FakeClock::advance(Seconds duration) {
  std::lock_guard lock(mutex_);
  uptime_ += duration;
  sinceEpoch_ += duration;
}

void FakeClock::setUptime(Seconds uptime) {
  std::lock_guard lock(mutex_);
  uptime_ = uptime;
}

std::vector<Clock::Seconds> FakeClock::sleeps() const {
  std::lock_guard lock(mutex_);
  return sleeps_;
}

}  // namespace deskplay::platform::testing
