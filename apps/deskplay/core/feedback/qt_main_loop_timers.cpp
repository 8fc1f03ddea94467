#include "core/feedback/qt_main_loop_timers.hpp"

#include <QTimer>
#include <algorithm>
#include <chrono>

namespace deskplay::core {

namespace {

// Rounded up: a delay must never end early.
std::chrono::milliseconds wholeMilliseconds(platform::Clock::Seconds duration) {
  return std::max(std::chrono::milliseconds(0),
                  std::chrono::ceil<std::chrono::milliseconds>(duration));
}

class QtTimerHandle final : public TimerHandle {
 public:
  QtTimerHandle(platform::Clock::Seconds interval, std::function<void()> tick)
      : timer_(new QTimer) {
    timer_->setInterval(std::max(std::chrono::milliseconds(1), wholeMilliseconds(interval)));
    QObject::connect(timer_, &QTimer::timeout, timer_, std::move(tick));
    timer_->start();
  }

  // The handle may go from inside the timer's own tick, so the timer is deleted later.
  ~QtTimerHandle() override {
    timer_->stop();
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    timer_->deleteLater();
  }

  QtTimerHandle(const QtTimerHandle&) = delete;
  QtTimerHandle& operator=(const QtTimerHandle&) = delete;

 private:
  QTimer* timer_;
};

}  // namespace

QtMainLoopTimers& QtMainLoopTimers::shared() {
  static QtMainLoopTimers timers;
  return timers;
}

std::unique_ptr<TimerHandle> QtMainLoopTimers::repeating(platform::Clock::Seconds interval,
                                                         std::function<void()> tick) {
  return std::make_unique<QtTimerHandle>(interval, std::move(tick));
}

void QtMainLoopTimers::after(platform::Clock::Seconds delay, std::function<void()> task) {
  QTimer::singleShot(wholeMilliseconds(delay), Qt::PreciseTimer, std::move(task));
}

}  // namespace deskplay::core
