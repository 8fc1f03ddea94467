#include "platform/testing/fake_script_host.hpp"

#include <gtest/gtest.h>

namespace deskplay::platform::testing {
namespace {

const std::string kReadBack =
    "tell application \"Finder\" to get icon size of icon view options of container window "
    "of desktop";

std::optional<std::int32_t> numberOf(const ScriptRun& run) {
  if (run.outcome != ScriptRun::Outcome::succeeded || !run.result) return std::nullopt;
  return run.result->int32Value;
}

TEST(FakeScriptHost, QueuedAnswersComeFirstThenTheStandingOneThenTheFallback) {
  FakeScriptHost host;
  host.queueAnswer(kReadBack, answersNumber(48), 3);
  host.setAnswer(kReadBack, answersNumber(64));

  EXPECT_EQ(numberOf(host.run(kReadBack)), 48);
  EXPECT_EQ(numberOf(host.run(kReadBack)), 48);
  EXPECT_EQ(numberOf(host.run(kReadBack)), 48);
  EXPECT_EQ(numberOf(host.run(kReadBack)), 64);
  EXPECT_EQ(numberOf(host.run(kReadBack)), 64);

  const ScriptRun other = host.run("tell application \"Finder\" to quit");
  EXPECT_EQ(other.outcome, ScriptRun::Outcome::succeeded);
  EXPECT_FALSE(other.result.has_value());
  EXPECT_EQ(host.runCount(kReadBack), 5);
  EXPECT_EQ(host.runs().size(), 6u);
}

TEST(FakeScriptHost, ExactAnswersWinOverFragmentsAndFragmentsOverTheFallback) {
  FakeScriptHost host;
  host.setFallbackAnswer(failsWith("Finder got an error: Connection is invalid.", -609));
  host.setAnswerForScriptsContaining("desktop position", ScriptRun::success());
  host.setAnswer(kReadBack, answersNumber(64));

  EXPECT_EQ(numberOf(host.run(kReadBack)), 64);
  EXPECT_EQ(host.run("set desktop position of x to {1, 2}").outcome, ScriptRun::Outcome::succeeded);
  const ScriptRun failed = host.run("tell application \"Finder\" to name of startup disk");
  EXPECT_EQ(failed.outcome, ScriptRun::Outcome::runFailed);
  EXPECT_EQ(failed.error.number, -609);
}

TEST(FakeScriptHost, ObserverSeesEachScriptBeforeItIsAnswered) {
  FakeScriptHost host;
  std::vector<std::string> seen;
  host.onRun([&](const std::string& source) {
    seen.push_back(source);
    host.queueAnswer(source, answersText("quit"));
  });
  EXPECT_EQ(host.run("a").result->stringValue, "quit");
  EXPECT_EQ(seen, std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace deskplay::platform::testing
