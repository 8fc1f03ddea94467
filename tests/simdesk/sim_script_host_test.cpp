#include "platform/sim/sim_script_host.hpp"

#include <gtest/gtest.h>

#include "simdesk_session.hpp"

namespace deskplay::testing {
namespace {

using Outcome = platform::ScriptRun::Outcome;

constexpr const char* kStartupDisk = "tell application \"Finder\" to get name of startup disk";

TEST(SimScriptHostTest, RunsInSimdeskAgainstItsFinder) {
  SimdeskSession session;
  writeFile(session.desktop() / "a.txt", "x");
  ASSERT_TRUE(session.start());
  auto connection = session.connect("Glyphon");
  platform::SimScriptHost scripts(*connection);

  const auto disk = scripts.run(kStartupDisk);
  ASSERT_EQ(disk.outcome, Outcome::succeeded) << disk.error.description;
  ASSERT_TRUE(disk.result);
  EXPECT_EQ(disk.result->stringValue, "Macintosh HD");

  const auto set = scripts.run("tell application \"Finder\" to set icon size of icon view options of container window of desktop to 64");
  EXPECT_EQ(set.outcome, Outcome::succeeded) << set.error.description;
  const auto size = scripts.run("tell application \"Finder\" to get icon size of icon view options of container window of desktop");
  ASSERT_EQ(size.outcome, Outcome::succeeded);
  EXPECT_EQ(size.result->int32Value, 64);

  const auto missing = scripts.run("tell application \"Finder\" to get desktop position of item \"nope\" of desktop");
  EXPECT_EQ(missing.outcome, Outcome::runFailed);
  EXPECT_EQ(missing.error.number, -1728);
}

TEST(SimScriptHostTest, AScriptToAQuitFinderFailsWithApplicationNotRunning) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  auto connection = session.connect("Glyphon");
  platform::SimScriptHost scripts(*connection);
  ASSERT_EQ(session.ctl({"finder", "quit"}).status, 0);
  const auto run = scripts.run(kStartupDisk);
  EXPECT_EQ(run.outcome, Outcome::runFailed);
  EXPECT_EQ(run.error.number, -600);
}

TEST(SimScriptHostWithoutSimdeskTest, CompilesHereAndFailsAsWithNothingRunning) {
  SimdeskSession session;
  auto connection = session.connect("Glyphon");
  platform::SimScriptHost scripts(*connection);

  const auto broken = scripts.run("tell application \"Finder\" to get");
  EXPECT_EQ(broken.outcome, Outcome::compileFailed);
  EXPECT_TRUE(broken.error.number.has_value());
  EXPECT_TRUE(broken.error.message.has_value());

  const auto told = scripts.run(kStartupDisk);
  EXPECT_EQ(told.outcome, Outcome::runFailed);
  EXPECT_EQ(told.error.number, -600);
  ASSERT_TRUE(told.error.message);
  EXPECT_NE(told.error.message->find("Application isn"), std::string::npos) << *told.error.message;

  const auto systemEvents = scripts.run("tell application \"System Events\" to get picture of current desktop");
  EXPECT_EQ(systemEvents.error.number, -600);
}

TEST(SimScriptHostWithoutSimdeskTest, RunsInTheNewSimdeskOnceItIsThere) {
  SimdeskSession session;
  auto connection = session.connect("Glyphon");
  platform::SimScriptHost scripts(*connection);
  EXPECT_EQ(scripts.run(kStartupDisk).outcome, Outcome::runFailed);
  ASSERT_TRUE(session.start());
  EXPECT_EQ(scripts.run(kStartupDisk).outcome, Outcome::succeeded);
}

}  // namespace
}  // namespace deskplay::testing
