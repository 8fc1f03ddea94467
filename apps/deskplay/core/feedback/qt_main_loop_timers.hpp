#pragma once

#include "core/feedback/main_loop_timers.hpp"

namespace deskplay::core {

// Timers of the Qt event loop of the calling (main) thread.
class QtMainLoopTimers final : public MainLoopTimers {
 public:
  // The application's one instance.
  static QtMainLoopTimers& shared();

  [[nodiscard]] std::unique_ptr<TimerHandle> repeating(platform::Clock::Seconds interval,
                                                       std::function<void()> tick) override;
  void after(platform::Clock::Seconds delay, std::function<void()> task) override;
};

}  // namespace deskplay::core
