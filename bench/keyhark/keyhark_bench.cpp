// Keyhark's figures:
// - an injected key (through a client connection of simdesk's) until Keyhark's line about it
//   arrives on its standard output, over 10,000 keys after a warm-up, beside the round trip
//   of the smallest simdesk request measured in the same run;
// - the keyboard callback's own cost (no Accessibility involved), writing its line to
//   /dev/null and to a pipe that another thread drains, beside the bare write of the same
//   line; and the mouse callback's cost for a press and release that are no click.
// Prints p50 and p99 and the goals; it never fails on a missed goal, only when something
// does not work.
//
// Usage: keyhark_bench   (its session lives in a temporary folder under $TMPDIR or /tmp)

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "bench/support/simdesk_requests.hpp"
#include "common/fd_io.hpp"
#include "listener/capture_settings.hpp"
#include "listener/desktop_lookup.hpp"
#include "listener/global_event_tap.hpp"
#include "listener/keyboard_listener.hpp"
#include "listener/line_output.hpp"
#include "listener/mouse_listener.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_windows.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "simdesk_session.hpp"
#include "support/child_process.hpp"

namespace deskplay::bench {

namespace {

using Clock = std::chrono::steady_clock;
namespace protocol = simdesk::protocol;

constexpr int kKeys = 10000;
constexpr int kWarmUp = 200;
constexpr int kCallbackCalls = 100000;
constexpr double kCallbackGoalMicroseconds = 100;

void report(const char* what, const std::vector<double>& samples) {
  std::printf("%-52s p50 %8.2f us   p99 %8.2f us\n", what, percentile(samples, 0.5),
              percentile(samples, 0.99));
}

// Injected key to Keyhark's line, with the request round trip interleaved.
bool measureEndToEnd() {
  testing::SimdeskSession session;
  if (!session.start()) {
    std::fprintf(stderr, "keyhark_bench: simdesk did not start\n");
    return false;
  }
  testing::ChildProcess keyhark({KEYHARK_PATH}, session.environment());
  protocol::Connection person({session.socket(), "simdeskctl", 4199999});
  const nlohmann::json injection = keyDownInjection(0);

  // Keys sent before the tap is ready go unreported: inject until one comes back.
  bool ready = false;
  for (int attempt = 0; attempt < 100 && !ready; ++attempt) {
    if (!person.request(protocol::requests::eventsInject, injection, protocol::Effect::mayChange)
             .ok()) {
      break;
    }
    ready = keyhark.readLine(std::chrono::milliseconds(100)).has_value();
  }
  if (!ready) {
    std::fprintf(stderr, "keyhark_bench: Keyhark did not report keys\n");
    return false;
  }
  while (keyhark.readLine(std::chrono::milliseconds(200))) {
  }

  std::vector<double> lineLatency;
  std::vector<double> requestRoundTrip;
  int lost = 0;
  for (int index = -kWarmUp; index < kKeys; ++index) {
    const std::optional<double> baseline = smallestRequestMicroseconds(person);
    if (!baseline) {
      ++lost;
      continue;
    }
    if (index >= 0) requestRoundTrip.push_back(*baseline);

    const auto start = Clock::now();
    auto sent =
        person.send(protocol::requests::eventsInject, injection, protocol::Effect::mayChange);
    if (!sent.ok()) {
      ++lost;
      continue;
    }
    const auto line = keyhark.readLine(std::chrono::seconds(5));
    const auto arrived = Clock::now();
    (void)person.receive(sent.value());
    if (!line) {
      ++lost;
      continue;
    }
    if (index >= 0) lineLatency.push_back(microseconds(arrived - start));
  }
  session.stop();

  std::printf("an injected key until Keyhark's line, %d keys after %d warm-up ones\n", kKeys,
              kWarmUp);
  report("smallest simdesk request round trip", requestRoundTrip);
  report("injection to Keyhark's keydown line", lineLatency);
  std::printf("line p50 / request p50: %.2f   line p99 / request p99: %.2f\n",
              percentile(lineLatency, 0.5) / std::max(percentile(requestRoundTrip, 0.5), 1e-9),
              percentile(lineLatency, 0.99) / std::max(percentile(requestRoundTrip, 0.99), 1e-9));
  if (lost > 0) {
    std::fprintf(stderr, "keyhark_bench: %d keys got no line\n", lost);
    return false;
  }
  return true;
}

template <class Call>
std::vector<double> timedCalls(int count, Call call) {
  std::vector<double> samples;
  samples.reserve(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) {
    const auto start = Clock::now();
    call(index);
    samples.push_back(microseconds(Clock::now() - start));
  }
  return samples;
}

bool measureCallbacks() {
  const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  int pipeFds[2];
  if (devNull < 0 || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "keyhark_bench: cannot open /dev/null or a pipe\n");
    return false;
  }
  std::thread drain([reader = pipeFds[0]] {
    char buffer[65536];
    while (::read(reader, buffer, sizeof buffer) > 0) {
    }
  });

  const platform::Event key = keyDownTypingA(0);
  const std::string line = R"({"type":"keydown","keyCode":0,"char":"a"})"
                           "\n";
  const auto bareWrite = timedCalls(kCallbackCalls, [&](int) { (void)writeAll(devNull, line); });

  keyhark::GlobalEventTap tap;
  keyhark::DescriptorLineOutput toDevNull(devNull);
  keyhark::KeyboardListener keyboardToDevNull(tap, toDevNull);
  const auto callbackDevNull =
      timedCalls(kCallbackCalls, [&](int) { (void)keyboardToDevNull.eventTapCallback(key); });

  keyhark::DescriptorLineOutput toPipe(pipeFds[1]);
  keyhark::KeyboardListener keyboardToPipe(tap, toPipe);
  const auto callbackPipe =
      timedCalls(kCallbackCalls, [&](int) { (void)keyboardToPipe.eventTapCallback(key); });

  // Press and release 50 points apart: two lines, no click, so no Accessibility lookup.
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakeWindows windows;
  platform::testing::FakeClock clock;
  keyhark::CaptureSettings capture;
  keyhark::DesktopLookup lookup(accessibility, windows);
  keyhark::MouseListener mouse(tap, capture, lookup, clock, toDevNull);
  platform::Event press;
  press.type = platform::EventType::leftMouseDown;
  press.location = {100, 100};
  platform::Event release = press;
  release.type = platform::EventType::leftMouseUp;
  release.location = {150, 100};
  const auto mouseCallback = timedCalls(kCallbackCalls, [&](int index) {
    (void)mouse.mouseTapCallback(index % 2 == 0 ? press : release);
  });

  ::close(pipeFds[1]);
  drain.join();
  ::close(pipeFds[0]);
  ::close(devNull);

  std::printf("\ncallbacks on their own, %d calls each\n", kCallbackCalls);
  report("bare write of a keydown line to /dev/null", bareWrite);
  report("keyboard callback, line to /dev/null", callbackDevNull);
  report("keyboard callback, line to a drained pipe", callbackPipe);
  report("mouse callback, press or release (no click)", mouseCallback);
  const double worst = std::max(percentile(callbackDevNull, 0.99), percentile(callbackPipe, 0.99));
  std::printf("keyboard callback p99 %.2f us (goal <= %.0f us: %s)\n", worst,
              kCallbackGoalMicroseconds, worst <= kCallbackGoalMicroseconds ? "met" : "MISSED");
  return true;
}

}  // namespace

}  // namespace deskplay::bench

int main() {
  const bool endToEnd = deskplay::bench::measureEndToEnd();
  const bool callbacks = deskplay::bench::measureCallbacks();
  return endToEnd && callbacks ? 0 : 1;
}
