#include "protocol/metrics.hpp"

#include <gtest/gtest.h>

#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "platform/testing/fake_windows.hpp"
#include "protocol/script_host_runner.hpp"

namespace deskplay::glyphon {
namespace {

using platform::Screen;
using platform::testing::FakeScriptHost;
using platform::testing::FakeWindows;
using Flush = OutputLines::Flush;

constexpr const char* kIconSizeScript =
    "tell application \"Finder\" to get icon size of icon view options of window of desktop";

Screen screenOfSize(double width, double height) {
  return {{{0, 0}, {width, height}}, {{0, 0}, {width, height - 25}}};
}

struct Case {
  const char* name;
  std::optional<Screen> screen;
  platform::ScriptRun iconSize;
  std::string line;
};

class MetricsTest : public ::testing::TestWithParam<Case> {};

TEST_P(MetricsTest, ReportsScreenAndIconSize) {
  FakeScriptHost host;
  host.setAnswer(kIconSizeScript, GetParam().iconSize);
  testing::RecordingOutput output;
  ScriptHostRunner scripts(host, output);
  FakeWindows windows;
  windows.setScreens({});
  windows.setMainScreen(GetParam().screen);

  EXPECT_EQ(metricsLine(scripts, windows), GetParam().line);
  EXPECT_EQ(host.runCount(kIconSizeScript), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MetricsTest,
    ::testing::Values(Case{"MainScreen", screenOfSize(1440, 900),
                           platform::testing::answersNumber(80), "METRICS:1440,900,80"},
                      Case{"FractionalFrameTruncates", screenOfSize(1512.9, 982.5),
                           platform::testing::answersNumber(64), "METRICS:1512,982,64"},
                      Case{"FinderSilent", screenOfSize(1440, 900), platform::ScriptRun::success(),
                           "METRICS:1440,900,64"},
                      Case{"FinderFails", screenOfSize(1440, 900),
                           platform::testing::failsWith("Application isn't running.", -600),
                           "METRICS:1440,900,64"},
                      Case{"NoScreenIgnoresIconSize", std::nullopt,
                           platform::testing::answersNumber(80), "METRICS:1920,1080,64"}),
    [](const ::testing::TestParamInfo<Case>& tested) { return tested.param.name; });

TEST(AnnounceReadyTest, ReadyWaitsForTheMetricsLine) {
  FakeScriptHost host;
  host.setAnswer(kIconSizeScript, platform::testing::failsWith("Application isn't running.", -600));
  testing::RecordingOutput output;
  ScriptHostRunner scripts(host, output);
  FakeWindows windows;
  windows.setScreens({});

  announceReady(output, scripts, windows);
  EXPECT_EQ(output.lines(), (std::vector<testing::RecordingOutput::Line>{
                                {"READY", Flush::withNext},
                                {"FINDER_SCRIPT_ERROR:Application isn't running.", Flush::now},
                                {"METRICS:1920,1080,64", Flush::now}}));
}

}  // namespace
}  // namespace deskplay::glyphon
