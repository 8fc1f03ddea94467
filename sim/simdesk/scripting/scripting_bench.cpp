// Figures for scripts run against the simulated desktop: a 500-line position script compiled,
// and compiled and run against the model, each beside a physical baseline measured in the same
// run (splitting the same text into lines). Prints medians of wall and thread CPU time (the
// latter steadier on a shared machine); asserts nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "applescript/script.hpp"
#include "platform/testing/fake_clock.hpp"
#include "sim/simdesk/scripting/desktop_scripting.hpp"
#include "support/temp_dir.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double threadCpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

struct Figure {
  double wall = 0;
  double cpu = 0;
};

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

template <class Work>
Figure medianMicroseconds(int rounds, Work work) {
  std::vector<double> walls;
  std::vector<double> cpus;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    const double cpuStart = threadCpuMicroseconds();
    work();
    cpus.push_back(threadCpuMicroseconds() - cpuStart);
    walls.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return {median(std::move(walls)), median(std::move(cpus))};
}

void print(const char* label, const Figure& figure, const Figure& baseline) {
  std::printf("  %-38s wall %9.1f us (%6.1fx)   cpu %9.1f us (%6.1fx)\n", label, figure.wall,
              figure.wall / baseline.wall, figure.cpu, figure.cpu / baseline.cpu);
}

std::size_t countLines(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ++lines;
  }
  return lines;
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  using namespace deskplay;
  testing::TempDir home;
  fs::create_directories(home.path() / "Desktop");
  constexpr int files = 50;
  for (int i = 0; i < files; ++i) {
    testing::writeFile(home.path() / "Desktop" / ("tile " + std::to_string(i) + ".txt"), "");
  }
  platform::testing::FakeClock clock;
  simdesk::SimulatedDesktop desktop({home.path(), &clock, {}, simdesk::Finder::Watching::manual});
  simdesk::DesktopScripting scripting(desktop);

  std::string source = "tell application \"Finder\"\n";
  for (int line = 0; line < 500; ++line) {
    source += "set desktop position of item \"tile " + std::to_string(line % files) +
              ".txt\" of desktop to {" + std::to_string(100 + line) + ", " +
              std::to_string(200 + line % 300) + "}\n";
  }
  source += "end tell";

  constexpr int rounds = 101;
  std::size_t sink = 0;
  const Figure baseline = medianMicroseconds(rounds, [&] {
    const std::string copy = source;
    sink += countLines(copy);
  });
  const Figure compile = medianMicroseconds(
      rounds, [&] { sink += applescript::Script::compile(source).ok() ? 1U : 0U; });
  const Figure whole = medianMicroseconds(rounds, [&] {
    sink += scripting.run(source).outcome == platform::ScriptRun::Outcome::succeeded ? 1U : 0U;
  });
  std::printf("500-line position script (%zu bytes), medians of %d rounds, ratio to baseline\n",
              source.size(), rounds);
  print("baseline (copy and split into lines):", baseline, baseline);
  print("compile:", compile, baseline);
  print("compile and run against the model:", whole, baseline);
  return sink == 0 ? 1 : 0;
}
