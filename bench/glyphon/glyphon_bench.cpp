// Glyphon's two figures, each against its goal:
// - its own cost per command (decode, dispatch, answer) with Finder and the preferences
//   faked, so that only Glyphon's work is timed; goal: a median of at most 50 µs. Beside it,
//   a bare JSON parse and dump of the same lines;
// - the round trip of an `icon_size` command through the real Glyphon and simdesk, beside
//   the same script run on simdesk directly from this process;
// - the round trip of `icon_positions_get` with a full desktop, beside the same walk of
//   Finder's accessibility tree made directly from this process.
// It never fails on a missed goal, only when something does not work.
//
// Usage: glyphon_bench

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/wired_desktop_commands.hpp"
#include "bench/support/bench_support.hpp"
#include "dispatch/command_dispatcher.hpp"
#include "dispatch/stage_commands.hpp"
#include "file_icons/file_icon_services.hpp"
#include "geometry/icon_positions.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "protocol/script_host_runner.hpp"
#include "quiet_lines.hpp"
#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::glyphon {

namespace {

using Clock = std::chrono::steady_clock;
using platform::testing::FakeScriptHost;

constexpr int kRounds = 20000;
constexpr int kRoundTrips = 500;
constexpr double kCommandGoalMicroseconds = 50.0;
constexpr int kDesktopIcons = 300;
constexpr int kPositionReads = 100;

// Stage commands that succeed without touching anything; the measured lines never reach
// them past their input checks anyway.
class IdleStageCommands final : public StageCommands {
 public:
  std::optional<CommandAnswer> position(const std::string&,
                                        const std::vector<PositionUpdate>&) override {
    return CommandAnswer::success();
  }
  CommandAnswer cancelPositions(const std::vector<std::string>&) override {
    return CommandAnswer::success();
  }
  CommandAnswer synthDrag(const Command&) override { return CommandAnswer::success(); }
  CommandAnswer setCover(const std::string&, const CoverPlacement&) override {
    return CommandAnswer::success();
  }
  CommandAnswer clearCover(const std::string&) override { return CommandAnswer::success(); }
  CommandAnswer showSessionStatus(const std::string&) override { return CommandAnswer::success(); }
  CommandAnswer iconPositions() override { return CommandAnswer::success(); }
};

double microsecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

const std::vector<std::string>& commandLines() {
  static const std::vector<std::string> lines = {
      R"({"id":"1","type":"icon_size"})",
      R"({"id":"2","type":"desktop_labels","value":"status"})",
      R"({"id":"3","type":"batch","script":"tell application \"Finder\" to get name of startup disk"})",
      R"({"type":"comment","path":"/Users/me/Desktop/tile 17.png","value":"row 3, column 4"})",
      R"({"id":"5","type":"cover_set","x":10,"y":20,"w":-1,"h":64,"color":"#112233"})",
      R"({"id":"6","type":"nope"})",
      R"({"id":"7","type":"restart_finder","iconSize":"big"})",
  };
  return lines;
}

struct Figures {
  double median = 0;
  double p90 = 0;
};

Figures summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {bench::median(samples), samples[samples.size() * 9 / 10]};
}

void measureCommandCost() {
  FakeScriptHost host;
  host.setAnswerForScriptsContaining("icon size", platform::testing::answersNumber(64));
  host.setAnswerForScriptsContaining("shows item info", platform::testing::answersText("false"));
  host.setAnswerForScriptsContaining("startup disk",
                                     platform::testing::answersText("Macintosh HD"));
  CountingOutput output;
  DiscardedLog log;
  ScriptHostRunner scripts(host, output);
  platform::testing::FakePreferences preferences;
  platform::testing::FakeClock clock;
  platform::testing::FakeWorkspace workspace;
  SerialQueue repaintQueue(kRepaintQueueLabel);
  WiredDesktopCommands desktop(
      FinderServices{scripts, log, preferences, clock, platform::macosToolPaths(),
                     "/nonexistent/com.apple.finder.plist"},
      FileIconServices{workspace, repaintQueue, scripts, output, log});
  IdleStageCommands stage;
  CommandDispatcher dispatcher({output, log, scripts, desktop, stage});

  const std::vector<std::string>& lines = commandLines();
  std::vector<double> glyphon;
  std::vector<double> baseline;
  glyphon.reserve(kRounds);
  baseline.reserve(kRounds);
  std::size_t baselineBytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::string& line = lines[static_cast<std::size_t>(round) % lines.size()];
    const Clock::time_point start = Clock::now();
    dispatcher.handleCommand(line);
    glyphon.push_back(microsecondsSince(start));

    const Clock::time_point bareStart = Clock::now();
    const nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
    baselineBytes += parsed.dump().size();
    baseline.push_back(microsecondsSince(bareStart));
  }
  if (output.bytes == 0 || baselineBytes == 0) throw std::runtime_error("no command was answered");

  const Figures own = summarise(glyphon);
  const Figures bare = summarise(baseline);
  std::printf("command cost (decode, dispatch, answer; Finder faked), %d commands of %zu kinds\n",
              kRounds, lines.size());
  std::printf("  Glyphon:              median %7.2f µs   p90 %7.2f µs   goal <= %.0f µs: %s\n",
              own.median, own.p90, kCommandGoalMicroseconds,
              own.median <= kCommandGoalMicroseconds ? "met" : "MISSED");
  std::printf("  bare JSON parse+dump: median %7.2f µs   p90 %7.2f µs   ratio %.1fx\n", bare.median,
              bare.p90, bare.median > 0 ? own.median / bare.median : 0.0);
}

void measureRoundTrip() {
  testing::SimdeskSession session;
  if (!session.start()) throw std::runtime_error("simdesk did not start");
  bench::ScratchFolder scratch(std::filesystem::temp_directory_path(), "glyphon-bench-");
  std::vector<std::string> environment = session.environment();
  environment.push_back("DESKPLAY_SIM_TOOLS=" + testing::simToolsFolder().string());
  environment.push_back("FRONDEL_LOG_FILE=" + (scratch.path() / "frondel.log").string());
  environment.push_back("XDG_CONFIG_HOME=" + (session.home() / ".config").string());
  testing::ChildProcess glyphon({GLYPHON_PATH}, environment);
  if (glyphon.readLine() != "READY" || !glyphon.readLine()) {
    throw std::runtime_error("Glyphon did not start");
  }

  const std::string expected = R"(ICON:{"id":"s","ok":true,"result":{"iconSize":64}})";
  std::vector<double> trips;
  trips.reserve(kRoundTrips);
  for (int trip = 0; trip < kRoundTrips; ++trip) {
    const Clock::time_point start = Clock::now();
    glyphon.writeLine(R"({"id":"s","type":"icon_size"})");
    const std::optional<std::string> answer = glyphon.readLine();
    trips.push_back(microsecondsSince(start));
    if (answer != expected)
      throw std::runtime_error("unexpected answer: " + answer.value_or("none"));
  }
  glyphon.writeLine("EXIT");
  (void)glyphon.wait();

  std::unique_ptr<simdesk::protocol::Connection> connection = session.connect("GlyphonBench");
  platform::SimScriptHost scripts(*connection);
  const std::string script =
      "tell application \"Finder\" to get icon size of icon view options of container window of "
      "desktop";
  std::vector<double> direct;
  direct.reserve(kRoundTrips);
  for (int trip = 0; trip < kRoundTrips; ++trip) {
    const Clock::time_point start = Clock::now();
    const platform::ScriptRun run = scripts.run(script);
    direct.push_back(microsecondsSince(start));
    if (run.outcome != platform::ScriptRun::Outcome::succeeded) {
      throw std::runtime_error("the direct script failed");
    }
  }

  const Figures own = summarise(trips);
  const Figures bare = summarise(direct);
  std::printf("icon_size round trip through Glyphon and simdesk, %d commands\n", kRoundTrips);
  std::printf("  Glyphon:              median %7.1f µs   p90 %7.1f µs\n", own.median, own.p90);
  std::printf("  script run directly:  median %7.1f µs   p90 %7.1f µs   ratio %.1fx\n", bare.median,
              bare.p90, bare.median > 0 ? own.median / bare.median : 0.0);
}

std::size_t lineCount(const std::string& text) {
  return text.empty() ? 0
                      : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

void measureIconPositions() {
  testing::SimdeskSession session;
  if (!session.start()) throw std::runtime_error("simdesk did not start");
  for (int icon = 0; icon < kDesktopIcons; ++icon) {
    testing::writeFile(session.desktop() / ("tile " + std::to_string(icon) + ".png"), "");
  }
  bench::ScratchFolder scratch(std::filesystem::temp_directory_path(), "glyphon-bench-");
  std::vector<std::string> environment = session.environment();
  environment.push_back("DESKPLAY_SIM_TOOLS=" + testing::simToolsFolder().string());
  environment.push_back("FRONDEL_LOG_FILE=" + (scratch.path() / "frondel.log").string());
  environment.push_back("XDG_CONFIG_HOME=" + (session.home() / ".config").string());

  std::unique_ptr<simdesk::protocol::Connection> connection = session.connect("GlyphonBench");
  platform::SimWindows windows(*connection);
  platform::SimAccessibility accessibility(*connection);
  // Finder places new files a moment after they appear.
  for (int attempt = 0; lineCount(readDesktopIconPositions(accessibility, windows)) <
                        static_cast<std::size_t>(kDesktopIcons);
       ++attempt) {
    if (attempt == 100) throw std::runtime_error("Finder did not show every file");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  testing::ChildProcess glyphon({GLYPHON_PATH}, environment);
  if (glyphon.readLine() != "READY" || !glyphon.readLine()) {
    throw std::runtime_error("Glyphon did not start");
  }
  std::vector<double> trips;
  trips.reserve(kPositionReads);
  for (int read = 0; read < kPositionReads; ++read) {
    const Clock::time_point start = Clock::now();
    glyphon.writeLine(R"({"id":"g","type":"icon_positions_get"})");
    const std::optional<std::string> answer = glyphon.readLine();
    trips.push_back(microsecondsSince(start));
    if (!answer || answer->rfind(R"(ICON:{"id":"g","ok":true)", 0) != 0) {
      throw std::runtime_error("unexpected answer: " + answer.value_or("none"));
    }
  }
  glyphon.writeLine("EXIT");
  (void)glyphon.wait();

  std::vector<double> direct;
  direct.reserve(kPositionReads);
  const std::uint64_t requestsBefore = accessibility.requestCount();
  for (int read = 0; read < kPositionReads; ++read) {
    const Clock::time_point start = Clock::now();
    const std::string text = readDesktopIconPositions(accessibility, windows);
    direct.push_back(microsecondsSince(start));
    if (lineCount(text) != static_cast<std::size_t>(kDesktopIcons)) {
      throw std::runtime_error("the direct walk missed icons");
    }
  }
  const double requestsPerWalk =
      static_cast<double>(accessibility.requestCount() - requestsBefore) / kPositionReads;

  const Figures own = summarise(trips);
  const Figures bare = summarise(direct);
  std::printf("icon_positions_get round trip with %d desktop icons, %d commands\n", kDesktopIcons,
              kPositionReads);
  std::printf("  Glyphon:              median %7.1f µs   p90 %7.1f µs\n", own.median, own.p90);
  std::printf(
      "  walk made directly:   median %7.1f µs   p90 %7.1f µs   ratio %.1fx   "
      "(%.1f accessibility requests per walk)\n",
      bare.median, bare.p90, bare.median > 0 ? own.median / bare.median : 0.0, requestsPerWalk);
}

}  // namespace

}  // namespace deskplay::glyphon

int main() {
  try {
    deskplay::glyphon::measureCommandCost();
    deskplay::glyphon::measureRoundTrip();
    deskplay::glyphon::measureIconPositions();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "glyphon_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
