#include "ui/menubar/window_fade.hpp"

namespace deskplay::ui {

namespace {

double bezier(double a, double b, double s) {
  // One coordinate of the curve from 0 to 1 with control values a and b.
  const double r = 1 - s;
  return 3 * r * r * s * a + 3 * r * s * s * b + s * s * s;
}

}  // namespace

double easeInEaseOut(double t) {
  if (t <= 0) return 0;
  if (t >= 1) return 1;
  // x(s) rises monotonically, so bisection finds the parameter of t.
  double low = 0;
  double high = 1;
  for (int i = 0; i < 40; ++i) {
    const double middle = (low + high) / 2;
    (bezier(0.42, 0.58, middle) < t ? low : high) = middle;
  }
  return bezier(0.0, 1.0, (low + high) / 2);
}

WindowFade::WindowFade(platform::MainLoopTimers& timers, const platform::Clock& clock)
    : timers_(timers), clock_(clock) {}

void WindowFade::start(platform::ContentWindow& window, platform::Clock::Seconds duration,
                       std::function<void()> completion) {
  cancel();
  window_ = &window;
  begin_ = clock_.uptime();
  duration_ = duration;
  from_ = window.alpha();
  completion_ = std::move(completion);
  timer_ = timers_.repeating(kFrameInterval, [this] { step(); });
}

void WindowFade::cancel() {
  timer_.reset();
  completion_ = nullptr;
  window_ = nullptr;
}

void WindowFade::step() {
  const double elapsed = (clock_.uptime() - begin_) / duration_;
  if (elapsed < 1) {
    window_->setAlpha(from_ * (1 - easeInEaseOut(elapsed)));
    return;
  }
  window_->setAlpha(0);
  auto completion = std::move(completion_);
  cancel();
  if (completion) completion();
}

}  // namespace deskplay::ui
