#include "platform/qt/qt_main_loop_timers.hpp"

#include <QTimer>
#include <algorithm>
#include <chrono>

namespace deskplay::platform {

namespace {

// Rounded up: a delay must never end early.
std::chrono::milliseconds wholeMilliseconds(Clock::Seconds duration) {
  return std::max(std::chrono::milliseconds(0),
                  std::chrono::ceil<std::chrono::milliseconds>(duration));
}

class QtTimerHandle final : public TimerHandle {
 public:
  QtTimerHandle(Clock::Seconds interval, std::function<void()> tick) : timer_(new QTimer) {
    timer_->setInterval(std::max(std::chrono::milliseconds(1), wholeMilliseconds(interval)));
    // A coarse timer may stray by a twentieth of its interval, which an animation step shows.
    timer_->setTimerType(Qt::PreciseTimer);
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

std::unique_ptr<TimerHandle> QtMainLoopTimers::repeating(Clock::Seconds interval,
                                                         std::function<void()> tick) {
  return std::make_unique<QtTimerHandle>(interval, std::move(tick));
}

void QtMainLoopTimers::after(Clock::Seconds delay, std::function<void()> task) {
  QTimer::singleShot(wholeMilliseconds(delay), Qt::PreciseTimer, std::move(task));
}

}  // namespace deskplay::platform
