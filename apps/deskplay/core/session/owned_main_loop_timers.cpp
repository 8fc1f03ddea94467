#include "core/session/owned_main_loop_timers.hpp"

#include <QTimer>
#include <algorithm>
#include <chrono>

#include "platform/qt/qt_main_loop_timers.hpp"

namespace deskplay::core {

std::unique_ptr<platform::TimerHandle> OwnedMainLoopTimers::repeating(
    platform::Clock::Seconds interval, std::function<void()> tick) {
  // A repeating timer already ends with its handle.
  return platform::QtMainLoopTimers::shared().repeating(interval, std::move(tick));
}

void OwnedMainLoopTimers::after(platform::Clock::Seconds delay, std::function<void()> task) {
  // Rounded up: a delay must never end early.
  const auto milliseconds =
      std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(delay));
  // A child of owner_: it, and the task it holds, go at once with this object.
  auto* timer = new QTimer(&owner_);
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, task = std::move(task)] {
    timer->deleteLater();
    task();
  });
  timer->start(milliseconds);
}

}  // namespace deskplay::core
