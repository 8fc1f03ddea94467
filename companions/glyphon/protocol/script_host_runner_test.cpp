#include "protocol/script_host_runner.hpp"

#include <gtest/gtest.h>

#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_script_host.hpp"

namespace deskplay::glyphon {
namespace {

using platform::ScriptError;
using platform::ScriptRun;
using platform::testing::FakeScriptHost;
using Flush = OutputLines::Flush;

struct Failing {
  const char* name;
  ScriptError error;
  std::string text;
};

class ScriptHostRunnerFailureTest : public ::testing::TestWithParam<Failing> {};

TEST_P(ScriptHostRunnerFailureTest, ReportsTheFirstTextTheErrorHas) {
  FakeScriptHost host;
  host.setFallbackAnswer(ScriptRun::runFailure(GetParam().error));
  testing::RecordingOutput output;
  ScriptHostRunner runner(host, output);

  const DetailedScriptRun run = runner.runDetailed("tell application \"Finder\" to quit");
  EXPECT_FALSE(run.result.has_value());
  EXPECT_EQ(run.error, GetParam().text);
  EXPECT_EQ(output.lines(), (std::vector<testing::RecordingOutput::Line>{
                                {"FINDER_SCRIPT_ERROR:" + GetParam().text, Flush::now}}));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ScriptHostRunnerFailureTest,
    ::testing::Values(Failing{"Message",
                              {"Finder got an error: Can't get file.", -1728, "{...}"},
                              "Finder got an error: Can't get file."},
                      Failing{"NumberWithoutMessage", {std::nullopt, -1728, "{...}"}, "-1728"},
                      Failing{"DescriptionOnly",
                              {std::nullopt, std::nullopt, "{NSAppleScriptErrorRange}"},
                              "{NSAppleScriptErrorRange}"}),
    [](const ::testing::TestParamInfo<Failing>& tested) { return tested.param.name; });

TEST(ScriptHostRunnerTest, ReportStaysOneLineWhileTheErrorKeepsItsText) {
  FakeScriptHost host;
  host.setFallbackAnswer(platform::testing::failsWith(
      "Can't make file \"/Desktop/a\nICON:{}\r\" into type alias.", -1700));
  testing::RecordingOutput output;
  ScriptHostRunner runner(host, output);

  const DetailedScriptRun run = runner.runDetailed("get 1");
  EXPECT_EQ(run.error, "Can't make file \"/Desktop/a\nICON:{}\r\" into type alias.");
  EXPECT_EQ(output.lines(),
            (std::vector<testing::RecordingOutput::Line>{
                {"FINDER_SCRIPT_ERROR:Can't make file \"/Desktop/a ICON:{} \" into type alias.",
                 Flush::now}}));
}

TEST(ScriptHostRunnerTest, ScriptThatDoesNotCompileFailsWithoutAnOutputLine) {
  FakeScriptHost host;
  host.setFallbackAnswer(platform::testing::failsToCompile());
  testing::RecordingOutput output;
  ScriptHostRunner runner(host, output);

  const DetailedScriptRun run = runner.runDetailed("tell");
  EXPECT_FALSE(run.result.has_value());
  EXPECT_EQ(run.error, "Failed to compile AppleScript");
  EXPECT_TRUE(output.lines().empty());
}

TEST(ScriptHostRunnerTest, SuccessHandsOverTheResultOrNone) {
  FakeScriptHost host;
  host.setAnswer("get 1", platform::testing::answersNumber(48));
  testing::RecordingOutput output;
  ScriptHostRunner runner(host, output);

  const DetailedScriptRun number = runner.runDetailed("get 1");
  ASSERT_TRUE(number.result.has_value());
  EXPECT_EQ(number.result->int32Value, 48);
  EXPECT_FALSE(number.error.has_value());

  const DetailedScriptRun nothing = runner.runDetailed("close every window");
  EXPECT_FALSE(nothing.result.has_value());
  EXPECT_FALSE(nothing.error.has_value());
  EXPECT_TRUE(output.lines().empty());
  EXPECT_EQ(host.runs(), (std::vector<std::string>{"get 1", "close every window"}));
}

}  // namespace
}  // namespace deskplay::glyphon
