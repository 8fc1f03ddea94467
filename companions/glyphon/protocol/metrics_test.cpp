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

platform::WindowInfo windowOf(std::string owner, platform::Rect bounds, int layer = 0) {
  platform::WindowInfo window;
  window.ownerName = std::move(owner);
  window.bounds = bounds;
  window.layer = layer;
  return window;
}

// Two screens side by side: the main one (1440 x 900) and a larger one to its right.
const Screen kLeft = screenOfSize(1440, 900);
const Screen kRight{{{1440, 0}, {2560, 1440}}, {{1440, 0}, {2560, 1415}}};

struct FrontmostCase {
  const char* name;
  std::optional<std::string> frontmost;
  std::vector<platform::WindowInfo> windows;
  std::optional<Screen> expected;
};

class ScreenForFrontmostWindowTest : public ::testing::TestWithParam<FrontmostCase> {};

TEST_P(ScreenForFrontmostWindowTest, FindsTheScreenOfTheLargestWindow) {
  FakeWindows windows;
  windows.setScreens({kLeft, kRight});
  windows.setMainScreen(kLeft);
  if (GetParam().frontmost) {
    platform::RunningApplication application;
    application.localizedName = GetParam().frontmost;
    windows.setFrontmostApplication(application);
  }
  windows.setOnScreenWindows(GetParam().windows);
  EXPECT_EQ(screenForFrontmostWindow(windows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ScreenForFrontmostWindowTest,
    ::testing::Values(FrontmostCase{"NoFrontmostApplication",
                                    std::nullopt,
                                    {windowOf("Safari", {{1600, 100}, {800, 600}})},
                                    std::nullopt},
                      FrontmostCase{"OwnerNameInAnyCase",
                                    "Safari",
                                    {windowOf("SAFARI", {{1600, 100}, {800, 600}})},
                                    kRight},
                      FrontmostCase{"OwnerNameHoldsTheApplicationName",
                                    "Code",
                                    {windowOf("Code Helper", {{1600, 100}, {800, 600}})},
                                    kRight},
                      FrontmostCase{"ApplicationNameHoldsTheOwnerName",
                                    "Safari Technology Preview",
                                    {windowOf("Safari", {{1600, 100}, {800, 600}})},
                                    kRight},
                      FrontmostCase{"OtherOwnersAndLayersDoNotCount",
                                    "Safari",
                                    {windowOf("Mail", {{1600, 100}, {800, 600}}),
                                     windowOf("Safari", {{1600, 100}, {800, 600}}, 25),
                                     windowOf("", {{1600, 100}, {800, 600}})},
                                    std::nullopt},
                      FrontmostCase{"LargestWindowWins",
                                    "Safari",
                                    {windowOf("Safari", {{100, 100}, {300, 200}}),
                                     windowOf("Safari", {{1600, 100}, {800, 600}}),
                                     windowOf("Safari", {{200, 100}, {400, 300}})},
                                    kRight},
                      FrontmostCase{"EqualAreaKeepsTheFirst",
                                    "Safari",
                                    {windowOf("Safari", {{100, 100}, {400, 300}}),
                                     windowOf("Safari", {{1600, 100}, {300, 400}})},
                                    kLeft},
                      FrontmostCase{"MiddleOnNoScreen",
                                    "Safari",
                                    {windowOf("Safari", {{5000, 100}, {800, 600}})},
                                    std::nullopt}),
    [](const ::testing::TestParamInfo<FrontmostCase>& tested) { return tested.param.name; });

TEST(MetricsLineTest, PrefersTheScreenOfTheFrontmostWindowToTheMainScreen) {
  FakeScriptHost host;
  host.setAnswer(kIconSizeScript, platform::testing::answersNumber(64));
  testing::RecordingOutput output;
  ScriptHostRunner scripts(host, output);
  FakeWindows windows;
  windows.setScreens({kLeft, kRight});
  windows.setMainScreen(kLeft);
  platform::RunningApplication safari;
  safari.localizedName = "Safari";
  windows.setFrontmostApplication(safari);
  windows.setOnScreenWindows({windowOf("Safari", {{1600, 100}, {800, 600}})});
  EXPECT_EQ(metricsLine(scripts, windows), "METRICS:2560,1440,64");

  // Without a window of its own the main screen counts.
  windows.setOnScreenWindows({});
  EXPECT_EQ(metricsLine(scripts, windows), "METRICS:1440,900,64");
}

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
