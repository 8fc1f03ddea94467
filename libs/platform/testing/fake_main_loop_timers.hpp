#pragma once

#include <memory>

#include "platform/main_loop_timers.hpp"
#include "platform/testing/fake_clock.hpp"

namespace deskplay::platform::testing {

// Timers that fire only when the test moves time through them: `advance` steps the fake
// clock from one due time to the next and runs what falls due, in order.
class FakeMainLoopTimers final : public MainLoopTimers {
 public:
  explicit FakeMainLoopTimers(FakeClock& clock);
  ~FakeMainLoopTimers() override;

  [[nodiscard]] std::unique_ptr<TimerHandle> repeating(Clock::Seconds interval,
                                                       std::function<void()> tick) override;
  void after(Clock::Seconds delay, std::function<void()> task) override;

  // Moves the clock forward by `duration`, running each task as its time comes.
  void advance(Clock::Seconds duration);
  // Runs what is due now without moving the clock.
  void runDue();

  int repeatingCount() const;
  int pendingCount() const;

 private:
  struct State;
  FakeClock& clock_;
  std::shared_ptr<State> state_;
};

}  // namespace deskplay::platform::testing
