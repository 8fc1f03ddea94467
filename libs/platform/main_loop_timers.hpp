#pragma once

#include <functional>
#include <memory>

#include "platform/clock.hpp"

namespace deskplay::platform {

// A running repeating timer. Destroying it stops the timer; no tick starts afterwards, even
// when it goes from inside its own tick. Main thread only.
class TimerHandle {
 public:
  virtual ~TimerHandle() = default;
};

// Timers on the main thread's event loop: polls, animation steps and delayed work on the main
// queue. Tests drive a fake (platform/testing/fake_main_loop_timers.hpp) together with a fake
// clock, so that time moves only when they say.
// Main thread only; every callback runs on the main thread, from the event loop, never from
// inside the call that set it up.
class MainLoopTimers {
 public:
  virtual ~MainLoopTimers() = default;

  // Calls `tick` every `interval` (more than zero) until the handle is destroyed.
  [[nodiscard]] virtual std::unique_ptr<TimerHandle> repeating(Clock::Seconds interval,
                                                               std::function<void()> tick) = 0;
  // Calls `task` once, no earlier than `delay` from now (zero: on the next turn of the loop).
  // It cannot be cancelled, so `task` holds whatever it needs.
  virtual void after(Clock::Seconds delay, std::function<void()> task) = 0;
};

}  // namespace deskplay::platform
