// A content window's frames through simdesk: a 480 × 640 frame committed whole until simdesk's
// next screenshot shows it (p50, p99), the CPU that 60 commits a second of a small damaged
// area cost simdesk and the client, against a memcpy of the same bytes in the same run, and
// what simdesk spends while nothing is committed. Prints figures; it never fails on a figure,
// only when something does not work.
//
// Usage: simdesk_content_bench   (its session lives in a temporary folder)

#include <time.h>

#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "platform/sim/sim_windows.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "simdesk_session.hpp"

namespace deskplay::bench {

namespace {

using Clock = std::chrono::steady_clock;
namespace protocol = simdesk::protocol;

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr int kShownFrames = 40;
constexpr int kSmallSide = 32;
constexpr int kRateSeconds = 3;
constexpr int kFramesPerSecond = 60;
constexpr int kIdleSeconds = 2;

// Seconds of CPU simdesk has used.
double processCpuSeconds(pid_t pid) {
  const std::optional<double> seconds = processorSeconds(pid);
  if (!seconds) throw std::runtime_error("cannot read simdesk's CPU time");
  return *seconds;
}

double ownCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Frame {
  std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kWidth * kHeight);
  void fill(std::uint32_t pixel) { std::fill(pixels.begin(), pixels.end(), pixel); }
  platform::PixelFrame view() const {
    return {kWidth, kHeight, kWidth * 4, reinterpret_cast<const unsigned char*>(pixels.data())};
  }
};

std::uint32_t shade(int index) {
  return 0xFF000000u | (static_cast<std::uint32_t>(index * 37 % 256) << 16) |
         static_cast<std::uint32_t>(255 - index * 53 % 256);
}

int run() {
  testing::SimdeskSession session;
  if (!session.start()) throw std::runtime_error("simdesk did not start");
  auto connection = session.connect("Deskplay");
  platform::SimWindows windows(*connection);
  auto window = windows.createContentWindow({{{200, 100}, {kWidth, kHeight}}});
  platform::WindowTraits traits;
  traits.level = platform::window_levels::status;
  window->configure(traits);
  window->orderFrontRegardless();
  Frame frame;
  const std::filesystem::path shot = session.home() / "frame.png";

  // Commit until shown: the whole frame in a new colour, then simdesk's next screenshot.
  std::vector<double> commitUs;
  std::vector<double> shownUs;
  int wrong = 0;
  for (int index = 0; index < kShownFrames; ++index) {
    frame.fill(shade(index));
    const auto start = Clock::now();
    window->present(frame.view(), {{0, 0, kWidth, kHeight}});
    const auto committed = Clock::now();
    if (!connection
             ->request(protocol::requests::screenshot, {{"path", shot.string()}},
                       protocol::Effect::readsOnly)
             .ok()) {
      throw std::runtime_error("no screenshot");
    }
    const auto shown = Clock::now();
    commitUs.push_back(microseconds(committed - start));
    shownUs.push_back(microseconds(shown - start));
    const QImage image(QString::fromStdString(shot.string()));
    if (image.pixel(200 + kWidth / 2, 900 - 100 - kHeight / 2) != shade(index)) ++wrong;
  }
  if (wrong > 0)
    throw std::runtime_error(std::to_string(wrong) + " screenshots missed their frame");
  // The same bytes copied in this process, for scale.
  std::vector<std::uint32_t> copy(frame.pixels.size());
  std::vector<double> memcpyUs;
  for (int index = 0; index < kShownFrames; ++index) {
    const auto start = Clock::now();
    std::memcpy(copy.data(), frame.pixels.data(), frame.pixels.size() * 4);
    memcpyUs.push_back(microseconds(Clock::now() - start));
  }
  std::printf("480x640 frame, commit: p50 %.0f us, p99 %.0f us\n", median(commitUs),
              percentile(commitUs, 0.99));
  std::printf(
      "480x640 frame, commit until the next screenshot shows it: p50 %.1f ms, p99 %.1f ms\n",
      median(shownUs) / 1000, percentile(shownUs, 0.99) / 1000);
  std::printf("memcpy of the same %d bytes: p50 %.0f us (commit / memcpy %.1fx)\n",
              kWidth * kHeight * 4, median(memcpyUs), median(commitUs) / median(memcpyUs));

  // 60 commits a second of a small damaged square.
  const pid_t simdesk = session.process()->pid();
  const double simdeskBefore = processCpuSeconds(simdesk);
  const double ownBefore = ownCpuSeconds();
  const auto period = std::chrono::microseconds(1000000 / kFramesPerSecond);
  auto next = Clock::now();
  double smallMemcpySeconds = 0;
  const int commits = kRateSeconds * kFramesPerSecond;
  for (int index = 0; index < commits; ++index) {
    const int x = (index * 7) % (kWidth - kSmallSide);
    for (int row = 0; row < kSmallSide; ++row) {
      std::fill_n(frame.pixels.begin() + (100 + row) * kWidth + x, kSmallSide, shade(index));
    }
    window->present(frame.view(), {{x, 100, kSmallSide, kSmallSide}});
    const auto copyStart = Clock::now();
    for (int row = 0; row < kSmallSide; ++row) {
      std::memcpy(&copy[static_cast<std::size_t>((100 + row) * kWidth + x)],
                  &frame.pixels[static_cast<std::size_t>((100 + row) * kWidth + x)],
                  kSmallSide * 4);
    }
    smallMemcpySeconds += static_cast<double>(microseconds(Clock::now() - copyStart)) / 1e6;
    next += period;
    std::this_thread::sleep_until(next);
  }
  const double seconds = kRateSeconds;
  const double simdeskShare = (processCpuSeconds(simdesk) - simdeskBefore) / seconds * 100;
  const double ownShare = (ownCpuSeconds() - ownBefore) / seconds * 100;
  std::printf(
      "60 commits/s of a %dx%d square: simdesk %.1f%% of a core, client %.1f%% of a core; "
      "memcpy of the same bytes %.3f%% of a core\n",
      kSmallSide, kSmallSide, simdeskShare, ownShare, smallMemcpySeconds / seconds * 100);

  // Nothing committed: simdesk should sleep.
  const double idleBefore = processCpuSeconds(simdesk);
  std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
  std::printf("idle for %d s (nothing committed): simdesk used %.0f ms of CPU\n", kIdleSeconds,
              (processCpuSeconds(simdesk) - idleBefore) * 1000);
  window.reset();
  session.stop();
  return 0;
}

}  // namespace

}  // namespace deskplay::bench

int main() {
  try {
    return deskplay::bench::run();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "simdesk_content_bench: %s\n", failure.what());
    return 1;
  }
}
