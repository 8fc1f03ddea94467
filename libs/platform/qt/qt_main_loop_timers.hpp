#pragma once

#include "platform/main_loop_timers.hpp"

namespace deskplay::platform {

// Timers of the Qt event loop of the calling (main) thread.
class QtMainLoopTimers final : public MainLoopTimers {
 public:
  // The program's one instance.
  static QtMainLoopTimers& shared();

  [[nodiscard]] std::unique_ptr<TimerHandle> repeating(Clock::Seconds interval,
                                                       std::function<void()> tick) override;
  void after(Clock::Seconds delay, std::function<void()> task) override;
};

}  // namespace deskplay::platform
