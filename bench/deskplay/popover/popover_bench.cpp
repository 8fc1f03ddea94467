// The popover in a private simdesk, hosted by this process with the QML stand-in for the
// screens: how long a click on the status item takes until the panel is on screen (ordered
// front and key in simdesk), how long hover takes until the new frame is committed to
// simdesk, and what an open popover costs while nothing happens.
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "bench/support/simdesk_requests.hpp"
#include "popover_in_simdesk.hpp"

namespace {

using deskplay::bench::median;
using deskplay::bench::percentile;
using deskplay::platform::Event;
using deskplay::platform::EventType;
using deskplay::platform::Point;
using deskplay::testing::PopoverInSimdesk;
using Clock = std::chrono::steady_clock;

constexpr int kClicks = 20;
constexpr int kHovers = 100;
constexpr int kIdleMilliseconds = 3000;

Event mouse(EventType type, Point at) {
  Event event;
  event.type = type;
  event.location = at;
  return event;
}

// Runs the event loop until `condition` holds; false after 10 s without it.
bool runUntil(const std::function<bool()>& condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

int failed(const char* why) {
  std::fprintf(stderr, "popover bench: %s\n", why);
  return 1;
}

void print(const char* what, const std::vector<double>& samples, double baseline) {
  const double p50 = median(samples);
  std::printf("%-44s p50 %8.0f us  p99 %8.0f us  (%.1f× the smallest request)\n", what, p50,
              percentile(samples, 0.99), baseline > 0 ? p50 / baseline : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  PopoverInSimdesk desk(3);
  if (!desk.started()) return failed("simdesk did not start");
  auto& item = desk.popover().statusItem();
  int presented = 0;
  QObject::connect(&desk.host(), &deskplay::ui::QuickPopoverHost::framePresented,
                   [&presented] { ++presented; });
  // The host draws its first frame as soon as the loop runs, before the panel is ever shown.
  if (!runUntil([&] { return presented > 0; })) return failed("the first frame was not drawn");
  const auto probe = desk.session().connect("popover-bench");
  const double baseline = deskplay::bench::smallestRequestMicroseconds(*probe).value_or(0);

  const deskplay::platform::Rect frame = desk.itemFrame();
  const Point button{frame.minX() + frame.size.width / 2, frame.minY() + frame.size.height / 2};
  std::vector<double> opening;
  for (int i = 0; i < kClicks; ++i) {
    const auto start = Clock::now();
    desk.person().inject(mouse(EventType::leftMouseDown, button));
    desk.person().inject(mouse(EventType::leftMouseUp, button));
    if (!runUntil([&] { return item.isShown() && item.window().isKey(); })) {
      return failed("the panel did not open");
    }
    opening.push_back(deskplay::bench::microseconds(Clock::now() - start));
    desk.person().inject(mouse(EventType::leftMouseDown, button));
    desk.person().inject(mouse(EventType::leftMouseUp, button));
    if (!runUntil([&] { return !item.isShown(); })) return failed("the panel did not close");
  }

  desk.person().inject(mouse(EventType::leftMouseDown, button));
  desk.person().inject(mouse(EventType::leftMouseUp, button));
  if (!runUntil([&] { return item.isShown() && item.window().isKey(); })) {
    return failed("the panel did not open");
  }
  QQuickItem* area = desk.host().root()->findChild<QQuickItem*>("hoverArea");
  const QPointF local = area->mapToScene({area->width() / 2, area->height() / 2});
  const deskplay::platform::Rect panel = item.window().frame();
  const Point inside{panel.minX() + local.x(), 900 - panel.maxY() + local.y()};
  const Point beside{inside.x, inside.y - area->height()};
  std::vector<double> hovering;
  for (int i = 0; i < kHovers; ++i) {
    const int before = presented;
    const auto start = Clock::now();
    desk.person().inject(mouse(EventType::mouseMoved, i % 2 == 0 ? inside : beside));
    if (!runUntil([&] { return presented > before; })) return failed("hover drew no frame");
    hovering.push_back(deskplay::bench::microseconds(Clock::now() - start));
  }

  // Idle: the panel open, the pointer still, nothing changing.
  runUntil([&] { return desk.person().waitUntilDelivered(); });
  const int rendersBefore = desk.host().renderCount();
  const auto ownBefore = deskplay::bench::processorSeconds(::getpid());
  const auto simdeskBefore = deskplay::bench::processorSeconds(desk.session().process()->pid());
  QEventLoop idle;
  QTimer::singleShot(kIdleMilliseconds, &idle, &QEventLoop::quit);
  idle.exec();
  const auto ownAfter = deskplay::bench::processorSeconds(::getpid());
  const auto simdeskAfter = deskplay::bench::processorSeconds(desk.session().process()->pid());

  std::printf("popover in simdesk (480 pt wide QML stand-in, software scene graph)\n");
  std::printf("smallest simdesk request: %.0f us\n", baseline);
  print("click on the item → panel on screen and key", opening, baseline);
  print("hover → new frame committed to simdesk", hovering, baseline);
  const double seconds = kIdleMilliseconds / 1000.0;
  std::printf(
      "open and idle for %.0f s: %d renders; CPU %.2f%% here, %.2f%% simdesk\n", seconds,
      desk.host().renderCount() - rendersBefore,
      ownBefore && ownAfter ? (*ownAfter - *ownBefore) / seconds * 100 : -1.0,
      simdeskBefore && simdeskAfter ? (*simdeskAfter - *simdeskBefore) / seconds * 100 : -1.0);
  return 0;
}
