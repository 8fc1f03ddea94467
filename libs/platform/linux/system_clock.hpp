#pragma once

#include "platform/clock.hpp"

namespace deskplay::platform {

// The machine's clocks: the monotonic clock for uptime, the real-time clock for the date.
class SystemClock final : public Clock {
 public:
  Seconds uptime() const override;
  Seconds sinceEpoch() const override;
  void sleepFor(Seconds duration) override;
};

}  // namespace deskplay::platform
