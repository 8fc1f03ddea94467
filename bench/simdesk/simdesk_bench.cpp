// simdesk through the sim adapters, as the icon controller uses them: a 500-line position
// script, a walk of 5000 desktop elements, and a screenshot, each against the round trip of
// the smallest request measured in the same run. Prints medians and the goals; it never fails
// on a missed goal, only when something does not work.
//
// Usage: simdesk_bench   (its session lives in a temporary folder under $TMPDIR or /tmp)

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_windows.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::bench {

namespace {

using Clock = std::chrono::steady_clock;
using platform::AccessibilityElement;

constexpr int kIcons = 5000;
constexpr int kScriptLines = 500;
constexpr int kWalkLimit = 5000;
constexpr int kRounds = 21;

double milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Runs `work` kRounds times after one warm-up round; the median in milliseconds.
double timeMedian(const std::function<void(int round)>& work) {
  work(-1);
  std::vector<double> samples;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    work(round);
    samples.push_back(milliseconds(Clock::now() - start));
  }
  return median(samples);
}

std::string iconName(int index) {
  char name[32];
  std::snprintf(name, sizeof(name), "icon%04d.txt", index);
  return name;
}

std::string positionScript(int round) {
  std::string script = "tell application \"Finder\"\n";
  for (int line = 0; line < kScriptLines; ++line) {
    // Every round moves the icons somewhere else, so no line is a no-op.
    const int x = 100 + (line % 20) * 60 + (round & 1) * 30;
    const int y = 100 + (line / 20) * 30;
    script += "  set desktop position of item \"" + iconName(line) + "\" of desktop to {" +
              std::to_string(x) + ", " + std::to_string(y) + "}\n";
  }
  return script + "end tell\n";
}

// The icon controller's walk: breadth first from Finder's application element, skipping the
// menu bar, file-name elements as leaves, at most kWalkLimit elements examined.
int walk(platform::Accessibility& accessibility, platform::ProcessId finder) {
  const auto application = accessibility.applicationElement(finder);
  if (!application) return 0;
  const auto children = [&](AccessibilityElement element) {
    auto value = accessibility.attribute(element, platform::kAXChildren);
    auto* list = std::get_if<std::vector<AccessibilityElement>>(&value);
    return list ? *list : std::vector<AccessibilityElement>{};
  };
  std::deque<AccessibilityElement> queue;
  for (const auto child : children(*application)) {
    auto role = accessibility.attribute(child, platform::kAXRole);
    auto* text = std::get_if<std::string>(&role);
    if (text == nullptr || *text != platform::kAXMenuBarRole) queue.push_back(child);
  }
  int examined = 0;
  int icons = 0;
  while (!queue.empty() && examined < kWalkLimit) {
    const AccessibilityElement element = queue.front();
    queue.pop_front();
    ++examined;
    if (std::holds_alternative<std::string>(accessibility.attribute(element, platform::kAXFilename))) {
      const auto position = accessibility.attribute(element, platform::kAXPosition);
      const auto size = accessibility.attribute(element, platform::kAXSize);
      if (std::holds_alternative<platform::Point>(position) && std::holds_alternative<platform::Size>(size)) {
        ++icons;
      }
      continue;
    }
    for (const auto child : children(element)) queue.push_back(child);
  }
  return examined;
}

void report(const char* what, double medianMs, double baselineMs, double goalMs) {
  std::printf("%-44s median %8.2f ms  (%7.1f round trips)  goal <= %5.1f ms  %s\n", what,
              medianMs, medianMs / baselineMs, goalMs, medianMs <= goalMs ? "met" : "MISSED");
}

int run() {
  testing::TempDir root;
  const auto home = root / "home";
  const auto runtime = root / "run";
  std::filesystem::create_directories(home / "Desktop");
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  for (int index = 0; index < kIcons; ++index) testing::writeFile(home / "Desktop" / iconName(index), "");
  const auto socket = runtime / "simdesk.sock";
  testing::ChildProcess simdesk({SIMDESK_PATH, "--socket", socket.string()},
                                {"HOME=" + home.string(), "XDG_RUNTIME_DIR=" + runtime.string()});
  const auto ready = simdesk.readLine(std::chrono::seconds(60));
  if (!ready || !ready->starts_with("SIMDESK_READY ")) {
    std::fprintf(stderr, "simdesk_bench: simdesk did not start\n");
    return 1;
  }

  simdesk::protocol::Connection connection({socket, "Glyphon", static_cast<std::int32_t>(::getpid())});
  platform::SimScriptHost scripts(connection);
  platform::SimAccessibility accessibility(connection);
  platform::SimWindows windows(connection);
  std::optional<platform::ProcessId> finder;
  for (const auto& application : windows.runningApplications()) {
    if (application.bundleIdentifier == "com.apple.finder") finder = application.process;
  }
  if (!finder) {
    std::fprintf(stderr, "simdesk_bench: Finder is not running\n");
    return 1;
  }

  const double roundTrip = timeMedian([&](int) {
    (void)connection.request(simdesk::protocol::requests::displayOptionsGet, nlohmann::json::object(),
                             simdesk::protocol::Effect::readsOnly);
  });

  bool scriptsRan = true;
  const double script = timeMedian([&](int round) {
    const std::string source = positionScript(round);
    scriptsRan = scriptsRan && scripts.run(source).outcome == platform::ScriptRun::Outcome::succeeded;
  });

  int examined = 0;
  const std::uint64_t requestsBefore = accessibility.requestCount();
  const double walked = timeMedian([&](int) { examined = walk(accessibility, *finder); });
  const double requestsPerWalk =
      static_cast<double>(accessibility.requestCount() - requestsBefore) / (kRounds + 1);

  const auto shot = root / "shot.png";
  bool shotTaken = true;
  const double screenshot = timeMedian([&](int) {
    shotTaken = shotTaken && connection.request(simdesk::protocol::requests::screenshot,
                                                {{"path", shot.string()}},
                                                simdesk::protocol::Effect::readsOnly).ok();
  });

  std::printf("simdesk through the sim adapters, %d rounds each after a warm-up; %d desktop icons\n",
              kRounds, kIcons);
  std::printf("%-44s median %8.3f ms  (the baseline)\n", "round trip of the smallest request", roundTrip);
  report("500-line desktop position script", script, roundTrip, 5.0);
  char walkLabel[64];
  std::snprintf(walkLabel, sizeof(walkLabel), "walk of %d elements (%.0f requests)", examined,
                requestsPerWalk);
  report(walkLabel, walked, roundTrip, 20.0);
  report("screenshot of 1440x900", screenshot, roundTrip, 100.0);

  simdesk.kill(SIGTERM);
  simdesk.wait();
  if (!scriptsRan || !shotTaken || examined < kWalkLimit) {
    std::fprintf(stderr, "simdesk_bench: a measured operation failed\n");
    return 1;
  }
  return 0;
}

}  // namespace

}  // namespace deskplay::bench

int main() { return deskplay::bench::run(); }
