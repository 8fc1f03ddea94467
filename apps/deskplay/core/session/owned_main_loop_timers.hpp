#pragma once

#include <QObject>

#include "platform/main_loop_timers.hpp"

namespace deskplay::core {

// Main-loop timers whose pending delayed tasks end with this object: a task not yet run when
// it goes is dropped, never run. Declared after the ports a session's goodbye touches and
// before the stores, it lets everything go in order at quit instead of leaving a goodbye to
// fire (or be destroyed) after the windows it holds are gone.
class OwnedMainLoopTimers final : public platform::MainLoopTimers {
 public:
  [[nodiscard]] std::unique_ptr<platform::TimerHandle> repeating(
      platform::Clock::Seconds interval, std::function<void()> tick) override;
  void after(platform::Clock::Seconds delay, std::function<void()> task) override;

 private:
  QObject owner_;
};

}  // namespace deskplay::core
