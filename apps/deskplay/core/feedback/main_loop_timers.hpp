#pragma once

#include <functional>
#include <memory>

#include "platform/clock.hpp"

namespace deskplay::core {

// A running repeating timer. Destroying it stops the timer; no tick starts afterwards.
class TimerHandle {
 public:
  virtual ~TimerHandle() = default;
};

// Timers on the main thread's event loop: the record poll and delayed work on the main
// queue. Tests drive a manual implementation together with a fake clock.
// Main thread only; every callback runs on the main thread.
class MainLoopTimers {
 public:
  virtual ~MainLoopTimers() = default;

  // Calls `tick` every `interval` (more than zero) until the handle is destroyed.
  [[nodiscard]] virtual std::unique_ptr<TimerHandle> repeating(platform::Clock::Seconds interval,
                                                               std::function<void()> tick) = 0;
  // Calls `task` once, no earlier than `delay` from now. It cannot be cancelled, so `task`
  // holds whatever it needs.
  virtual void after(platform::Clock::Seconds delay, std::function<void()> task) = 0;
};

}  // namespace deskplay::core
