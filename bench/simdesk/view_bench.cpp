// The live view's frame rate while a window moves every frame, the cost of one frame (render
// and compare) against a bare copy of a screen-sized image, and what the view does while
// nothing changes. Prints figures; never asserts.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "platform/linux/system_clock.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/model/window_levels.hpp"
#include "sim/simdesk/render/desktop_renderer.hpp"
#include "sim/simdesk/render/text_metrics.hpp"
#include "sim/simdesk/view/desktop_view.hpp"

namespace {

using namespace deskplay;
using namespace deskplay::simdesk;

constexpr int kMovingFrames = 150;
constexpr int kFrameSamples = 60;
constexpr int kIdleMilliseconds = 3000;

// Runs the event loop until `done` or the deadline.
template <typename Done>
void runUntil(Done done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
}

int run() {
  bench::ScratchFolder scratch("/tmp", "view-bench-");
  const auto home = scratch.path();
  std::filesystem::create_directories(home / "Desktop");
  for (int n = 0; n < 20; ++n) {
    std::ofstream(home / "Desktop" / ("file " + std::to_string(n) + ".txt")) << "x";
  }
  platform::SystemClock clock;
  SimulatedDesktop desktop(
      SimulatedDesktop::Options{home, &clock, fontTextMeasure(), Finder::Watching::manual});
  DesktopRenderer renderer(desktop);
  DesktopView view(desktop, renderer, [](const platform::Event&) {});
  view.show();

  desktop.clientConnected(900, "bench");
  auto& server = desktop.windowServer();
  const auto window =
      server.createWindow(900, platform::WindowSpec{{{100, 100}, {200, 150}}}, WindowRole::window);
  platform::WindowTraits traits;
  traits.level = levels::desktopIcon + 1;
  traits.background = platform::Color{1, 0.5, 0, 1};
  (void)server.configure(window, traits);
  (void)server.orderFront(window);
  runUntil([] { return false; }, 200);

  // A window that moves as soon as each frame is shown.
  const std::uint64_t shownBefore = view.framesShown();
  QElapsedTimer moving;
  moving.start();
  for (int frame = 1; frame <= kMovingFrames; ++frame) {
    (void)server.setFrame(window, {{100.0 + 4 * frame, 100}, {200, 150}});
    runUntil([&] { return view.framesShown() >= shownBefore + static_cast<std::uint64_t>(frame); },
             1000);
  }
  const double movingSeconds = static_cast<double>(moving.nsecsElapsed()) / 1e9;
  const double framesPerSecond =
      static_cast<double>(view.framesShown() - shownBefore) / movingSeconds;

  // One frame's own work, and a physical baseline: copying a screen-sized image.
  std::vector<double> frameMs;
  std::vector<double> copyMs;
  QImage previous = renderer.renderAll();
  for (int n = 0; n < kFrameSamples; ++n) {
    QElapsedTimer timer;
    timer.start();
    const QImage image = renderer.renderAll();
    const bool same = image == previous;
    frameMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    timer.restart();
    QImage copy = previous.copy();
    copy.setPixel(0, 0, same ? 0u : 1u);
    copyMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }

  // Nothing changes: the view should only look now and then, and never repaint.
  const std::uint64_t renderedIdle = view.framesRendered();
  const std::uint64_t shownIdle = view.framesShown();
  runUntil([] { return false; }, kIdleMilliseconds);
  const double idleRendersPerSecond =
      static_cast<double>(view.framesRendered() - renderedIdle) / (kIdleMilliseconds / 1000.0);

  const double frame = bench::median(frameMs);
  const double copy = bench::median(copyMs);
  std::printf("view: %d frames of a moving window at %.1f frames/s (goal >= 30)\n", kMovingFrames,
              framesPerSecond);
  std::printf(
      "view: one frame (render + compare, 1440x900) median %.2f ms; bare image copy "
      "%.2f ms; ratio %.1f\n",
      frame, copy, frame / copy);
  std::printf("view: idle for %d ms: %.1f renders/s, %llu repaints\n", kIdleMilliseconds,
              idleRendersPerSecond,
              static_cast<unsigned long long>(view.framesShown() - shownIdle));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  try {
    return run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "view_bench: %s\n", error.what());
    return 1;
  }
}
