// The motion engine's two figures, each against its goal:
// - one animation tick with 500 icons moving, with Finder faked so that only Glyphon's work
//   is timed (positions, the one script's text, the MOTION line); goal: a median of at most
//   1 ms. Beside it, the same tick in the animation core alone;
// - how regularly the 50 ms animation timer fires on the main loop while every core is kept
//   busy and each tick moves the same 500 icons: the deviation of each interval from 50 ms.
// It never fails on a missed goal.
//
// Usage: glyphon_motion_bench

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "geometry/icon_geometry.hpp"
#include "motion/motion_commands.hpp"
#include "motion/position_motion.hpp"
#include "platform/qt/qt_main_loop_timers.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "protocol/apple_script_runner.hpp"
#include "quiet_lines.hpp"

namespace deskplay::glyphon {

namespace {

using SteadyClock = std::chrono::steady_clock;
using Seconds = platform::Clock::Seconds;

constexpr int kIcons = 500;
constexpr int kTicks = 3000;
constexpr int kTimerTicks = 300;
constexpr double kTickGoalMilliseconds = 1.0;
constexpr double kTimerMilliseconds = 50.0;

// Finder that accepts every script at once, noting when each came.
class AcceptingScripts final : public AppleScriptRunner {
 public:
  DetailedScriptRun runDetailed(const std::string& source) override {
    scriptBytes += source.size();
    runTimes.push_back(SteadyClock::now());
    return {};
  }
  std::size_t scriptBytes = 0;
  std::vector<SteadyClock::time_point> runTimes;
};

class NoGeometry final : public IconGeometry {
 public:
  std::string readDesktopIconPositions() override { return {}; }
  std::optional<platform::Point> iconScreenCenter(std::string_view) override {
    return std::nullopt;
  }
  bool pointHitsFile(platform::Point, std::string_view) override { return false; }
  bool synthesizingPointer() const override { return false; }
};

double millisecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

std::string iconPath(int index) {
  return "/Users/player/Desktop/Icon " + std::to_string(index) + ".txt";
}

// Every icon placed, then all of them sent on a journey too long to end during the run.
std::vector<PositionUpdate> journeys() {
  std::vector<PositionUpdate> updates;
  for (int index = 0; index < kIcons; ++index) {
    updates.push_back({NativeTransition{1e6, "easeInOut", std::nullopt}, iconPath(index),
                       1400.0 - index, 20.0 + index});
  }
  return updates;
}

void startJourneys(MotionCommands& motion) {
  for (int index = 0; index < kIcons; ++index) {
    (void)motion.submitPosition("place", {{std::nullopt, iconPath(index), 10.0 * index, 40}});
  }
  (void)motion.submitPosition("journey", journeys());
}

// The command layer over faked Finder, clock and taps, with every icon on its journey.
struct MotionRig {
  MotionRig() { startJourneys(motion); }

  CountingOutput output;
  DiscardedLog log;
  AcceptingScripts scripts;
  platform::testing::FakeClock clock;
  platform::testing::FakeEventTaps taps;
  NoGeometry geometry;
  MotionCommands motion{
      {output, log, scripts, clock, platform::QtMainLoopTimers::shared(), taps, geometry}};
};

void report(const char* what, const std::vector<double>& samples, const char* unit) {
  std::printf("%-48s median %8.3f %s   p99 %8.3f %s   (%zu samples)\n", what,
              bench::median(samples), unit, bench::percentile(samples, 0.99), unit, samples.size());
}

void benchTick() {
  MotionRig rig;

  const std::size_t scriptBytesBefore = rig.scripts.scriptBytes;
  const std::size_t outputBytesBefore = rig.output.bytes;
  std::vector<double> samples;
  for (int tick = 0; tick < kTicks; ++tick) {
    rig.clock.advance(Seconds(0.05));
    const auto start = SteadyClock::now();
    rig.motion.nativeMotionTick();
    samples.push_back(millisecondsSince(start));
  }

  PositionMotion core([](const std::vector<MotionWrite>&) { return Status::success(); },
                      [](const MotionReceipt&) {});
  for (int index = 0; index < kIcons; ++index) {
    (void)core.seed(iconPath(index), {10.0 * index, 40});
  }
  std::vector<MotionTarget> targets;
  for (const PositionUpdate& update : journeys()) {
    targets.push_back({update.path, {update.x, update.y}});
  }
  (void)core.animate(targets, 0, 1e9, "easeInOut", false);
  std::vector<double> coreSamples;
  for (int tick = 1; tick <= kTicks; ++tick) {
    const auto start = SteadyClock::now();
    (void)core.tick(50.0 * tick);
    coreSamples.push_back(millisecondsSince(start));
  }

  std::printf("One tick, %d icons moving (goal: median <= %.1f ms)\n", kIcons,
              kTickGoalMilliseconds);
  report("  tick with Finder's script faked", samples, "ms");
  report("  the animation core alone", coreSamples, "ms");
  std::printf("  ratio tick / core (median)                    %8.2f\n",
              bench::median(samples) / std::max(bench::median(coreSamples), 1e-9));
  std::printf("  script per tick %zu bytes, MOTION line %zu bytes\n",
              (rig.scripts.scriptBytes - scriptBytesBefore) / static_cast<std::size_t>(kTicks),
              (rig.output.bytes - outputBytesBefore) / static_cast<std::size_t>(kTicks));
}

// `burners` threads spin while the timer runs; none gives the baseline of an idle machine.
void benchTimer(unsigned burners) {
  MotionRig rig;
  rig.scripts.runTimes.clear();

  std::atomic<bool> busy = true;
  std::vector<std::thread> spinning;
  for (unsigned burner = 0; burner < burners; ++burner) {
    spinning.emplace_back([&busy] {
      volatile double sink = 1;
      while (busy.load(std::memory_order_relaxed)) sink = std::sqrt(sink + 1.0);
    });
  }
  QTimer::singleShot(static_cast<int>(kTimerMilliseconds * (kTimerTicks + 2)),
                     [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
  busy = false;
  for (std::thread& thread : spinning) thread.join();

  std::vector<double> deviations;
  for (std::size_t index = 1; index < rig.scripts.runTimes.size(); ++index) {
    const double interval = std::chrono::duration<double, std::milli>(
                                rig.scripts.runTimes[index] - rig.scripts.runTimes[index - 1])
                                .count();
    deviations.push_back(std::fabs(interval - kTimerMilliseconds));
  }
  std::printf("\nThe 50 ms timer, %d icons per tick, %u busy threads beside it\n", kIcons, burners);
  report("  |interval - 50 ms|", deviations, "ms");
}

}  // namespace

}  // namespace deskplay::glyphon

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  deskplay::glyphon::benchTick();
  deskplay::glyphon::benchTimer(0);
  deskplay::glyphon::benchTimer(std::max(1u, std::thread::hardware_concurrency()));
  return 0;
}
