#pragma once

#include <functional>
#include <memory>

#include "platform/clock.hpp"
#include "platform/main_loop_timers.hpp"
#include "platform/windows.hpp"

namespace deskplay::ui {

// The ease-in-ease-out timing curve (the cubic Bézier through (0.42, 0) and (0.58, 1)):
// progress at the fraction `t` (0 to 1) of the duration.
double easeInEaseOut(double t);

// Fades a window's alpha from where it stands to 0 over a duration, one step per display
// frame, then calls the completion. Main thread.
class WindowFade {
 public:
  static constexpr platform::Clock::Seconds kFrameInterval{1.0 / 60.0};

  WindowFade(platform::MainLoopTimers& timers, const platform::Clock& clock);

  // Replaces a fade under way, without calling its completion.
  void start(platform::ContentWindow& window, platform::Clock::Seconds duration,
             std::function<void()> completion);
  // Stops a fade under way where it stands; its completion is not called.
  void cancel();
  bool isRunning() const { return timer_ != nullptr; }

 private:
  void step();

  platform::MainLoopTimers& timers_;
  const platform::Clock& clock_;
  platform::ContentWindow* window_ = nullptr;
  platform::Clock::Seconds begin_{};
  platform::Clock::Seconds duration_{};
  double from_ = 1;
  std::function<void()> completion_;
  std::unique_ptr<platform::TimerHandle> timer_;
};

}  // namespace deskplay::ui
