#pragma once

#include <mutex>
#include <vector>

#include "platform/clock.hpp"

namespace deskplay::platform::testing {

// Time that moves only when the test says so. A sleep returns at once, moves both clocks
// by its length and is recorded.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(Seconds uptime = Seconds(1000), Seconds sinceEpoch = Seconds(1.8e9));

  Seconds uptime() const override;
  Seconds sinceEpoch() const override;
  void sleepFor(Seconds duration) override;

  void advance(Seconds duration);
  // Puts uptime at `uptime` (also backwards, to test code that must survive it).
  void setUptime(Seconds uptime);
  std::vector<Seconds> sleeps() const;

 private:
  mutable std::mutex mutex_;
  Seconds uptime_;
  Seconds sinceEpoch_;
  std::vector<Seconds> sleeps_;
};

}  // namespace deskplay::platform::testing
