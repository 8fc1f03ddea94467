#include "finder/process_run.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace deskplay::glyphon {
namespace {

ProcessRun runShell(const std::string& script) {
  return runProcess("/bin/sh", {"-c", script});
}

TEST(RunProcess, KeepsOutputErrorAndStatusApart) {
  const ProcessRun run = runShell("printf 'out\\n'; printf 'err' >&2; exit 3");
  EXPECT_EQ(run.standardOutput, "out\n");
  EXPECT_EQ(run.standardError, "err");
  EXPECT_EQ(run.exitStatus, 3);
}

TEST(RunProcess, PassesArgumentsAsTheyAre) {
  const ProcessRun run =
      runProcess("/bin/sh", {"-c", "printf '%s|' \"$@\"", "sh", "a b", "", "Print :x", "\"q\""});
  EXPECT_EQ(run.standardOutput, "a b||Print :x|\"q\"|");
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(RunProcess, DrainsBothPipesBeyondTheirCapacity) {
  // More than a pipe holds on each stream: a reader of one stream only would hang.
  const ProcessRun run = runShell(
      "i=0; while [ $i -lt 3000 ]; do echo 0123456789012345678901234567890123456789; "
      "echo 9876543210987654321098765432109876543210 >&2; i=$((i+1)); done");
  ASSERT_TRUE(run.standardOutput && run.standardError);
  EXPECT_EQ(run.standardOutput->size(), 3000u * 41);
  EXPECT_EQ(run.standardError->size(), 3000u * 41);
}

TEST(RunProcess, GivesNoTextForAStreamThatIsNotUtf8) {
  const ProcessRun run = runShell("printf 'caf\\303\\251'; printf 'bad \\377' >&2");
  EXPECT_EQ(run.standardOutput, "caf\xC3\xA9");
  EXPECT_EQ(run.standardError, std::nullopt);
}

TEST(RunProcess, GivesTheToolAnEmptyInput) {
  const ProcessRun run = runProcess("/bin/cat", {});
  EXPECT_EQ(run.standardOutput, "");
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(RunProcess, ReportsTheSignalThatEndedTheTool) {
  EXPECT_EQ(runShell("kill -TERM $$").exitStatus, SIGTERM);
}

TEST(RunProcess, ReportsAToolThatCannotStart) {
  const ProcessRun run = runProcess("/nonexistent/PlistBuddy", {"-c", "Print :x"});
  EXPECT_EQ(run.standardOutput, std::nullopt);
  ASSERT_TRUE(run.standardError.has_value());
  EXPECT_NE(run.standardError->find("/nonexistent/PlistBuddy"), std::string::npos);
  EXPECT_EQ(run.exitStatus, -1);
}

}  // namespace
}  // namespace deskplay::glyphon
