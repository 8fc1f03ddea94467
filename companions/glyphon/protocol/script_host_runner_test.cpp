#include "protocol/script_host_runner.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "common/unique_fd.hpp"
#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "protocol/descriptor_output_lines.hpp"

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
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
  const UniqueFd readEnd(ends[0]);
  const UniqueFd writeEnd(ends[1]);
  DescriptorOutputLines output(writeEnd.get());
  ScriptHostRunner runner(host, output);

  const DetailedScriptRun run = runner.runDetailed("get 1");
  EXPECT_EQ(run.error, "Can't make file \"/Desktop/a\nICON:{}\r\" into type alias.");
  char written[256] = {};
  ASSERT_GT(::read(readEnd.get(), written, sizeof written - 1), 0);
  EXPECT_EQ(std::string(written),
            "FINDER_SCRIPT_ERROR:Can't make file \"/Desktop/a\\nICON:{}\\r\" into type alias.\n");
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
