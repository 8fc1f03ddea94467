#include <gtest/gtest.h>
#include <signal.h>

#include "keyhark_process.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;

const std::vector<std::string> kPermissionDenied{
    "LISTENER_PERMISSION_DENIED",
    "Global keyboard capture needs Accessibility (or Input Monitoring) for the app that launched "
    "this program.",
    "Opening System Settings — grant access to your terminal, then restart this program."};

json keydown(int keyCode, const std::string& characters) {
  return {{"type", "keydown"}, {"keyCode", keyCode}, {"char", characters}};
}

class KeyharkKeyboardTest : public ::testing::Test {
 protected:
  void start(const std::vector<std::string>& simdeskArguments = {}) {
    ASSERT_TRUE(session_.start(simdeskArguments));
    keyhark_ = std::make_unique<KeyharkProcess>(session_, std::vector<std::string>{});
    ASSERT_TRUE(keyhark_->waitUntilReady()) << ::testing::PrintToString(keyhark_->statusLines());
  }
  void key(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"key"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const Completed typed = session_.ctl(command);
    ASSERT_EQ(typed.status, 0) << typed.errors;
  }
  // The verdicts of Keyhark's tap on key presses, oldest first.
  std::vector<std::string> keyDownVerdicts() {
    std::vector<std::string> verdicts;
    for (const json& record : deliveries(session_, "tap", "keyDown")) {
      if (record["app"] == "Keyhark") verdicts.push_back(record["action"]);
    }
    return verdicts;
  }
  std::size_t keyDownsReceivedByApplications() {
    return deliveries(session_, "application", "keyDown").size();
  }

  SimdeskSession session_;
  std::unique_ptr<KeyharkProcess> keyhark_;
};

TEST_F(KeyharkKeyboardTest, TypingIsReportedAndSwallowedShortcutsPass) {
  start();
  EXPECT_EQ(keyhark_->statusLines(), std::vector<std::string>{"LISTENER_READY"});

  key({"0", "--chars", "A", "--flags", "shift"});
  EXPECT_EQ(keyhark_->nextEvent(), keydown(0, "A"));
  EXPECT_EQ(keyDownVerdicts(), std::vector<std::string>{"swallowed"});
  EXPECT_EQ(keyDownsReceivedByApplications(), 0u);

  key({"0", "--chars", "a", "--flags", "command"});
  EXPECT_EQ(keyhark_->nextEvent(), keydown(0, "a"));
  EXPECT_EQ(keyDownVerdicts(), (std::vector<std::string>{"swallowed", "passed"}));
  EXPECT_EQ(keyDownsReceivedByApplications(), 1u);

  key({"47", "--chars", "/"});
  const auto line = keyhark_->process().readLine();
  ASSERT_TRUE(line);
  EXPECT_EQ(*line, R"({"type":"keydown","keyCode":47,"char":"\/"})");
}

TEST_F(KeyharkKeyboardTest, NeverReadsStandardInputAndOutlivesItsEnd) {
  start();
  keyhark_->process().writeLine(R"({"captureDesktopDrags":true})");
  keyhark_->process().closeStdin();
  key({"1", "--chars", "s"});
  EXPECT_EQ(keyhark_->nextEvent(), keydown(1, "s"));
  EXPECT_EQ(keyhark_->statusLines(), std::vector<std::string>{"LISTENER_READY"});
  EXPECT_TRUE(keyhark_->isRunning());
}

TEST_F(KeyharkKeyboardTest, TapDisabledByTimeOutIsTurnedBackOn) {
  start({"--tap-timeout", "300"});
  ::kill(keyhark_->pid(), SIGSTOP);
  key({"2", "--chars", "d"});  // returns once simdesk gave up on the stopped tap
  ::kill(keyhark_->pid(), SIGCONT);
  EXPECT_EQ(deliveries(session_, "tap", "keyDown").at(0)["action"], "timedOut");
  EXPECT_EQ(keyDownsReceivedByApplications(), 1u);
  // The late key still gets its line, then the notice turns the tap back on.
  EXPECT_EQ(keyhark_->nextEvent(), keydown(2, "d"));

  // Keys typed before the tap is back pass it by unseen; the first one after is Keyhark's.
  ASSERT_TRUE(eventually([&] {
    key({"3", "--chars", "f"});
    return keyDownVerdicts().back() == "swallowed";
  }));
  EXPECT_EQ(keyhark_->nextEvent(), keydown(3, "f"));
  EXPECT_TRUE(keyhark_->isRunning());
}

TEST_F(KeyharkKeyboardTest, WithoutPermissionSaysSoPromptsAndHasNoTap) {
  ASSERT_TRUE(session_.start());
  for (const char* service : {"accessibility", "input-monitoring"}) {
    ASSERT_EQ(session_.ctl({"privacy", "revoke", service, "Keyhark"}).status, 0);
  }
  KeyharkProcess keyhark(session_, {});
  std::vector<std::string> expected = kPermissionDenied;
  expected.push_back("LISTENER_TAP_FAILED");
  expected.push_back("Could not create the keyboard event tap — check Accessibility permission.");
  EXPECT_EQ(keyhark.waitForStatusLines(expected.size()), expected);
  EXPECT_EQ(session_.ctl({"prompts"}).output,
            "prompt accessibility Keyhark\n"
            "opened x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility "
            "Keyhark\n");

  key({"0", "--chars", "a"});
  // The key went through no tap at all, so Keyhark had nothing to write about it.
  EXPECT_EQ(keyDownVerdicts(), std::vector<std::string>{});
  EXPECT_EQ(keyDownsReceivedByApplications(), 1u);
  EXPECT_TRUE(keyhark.wroteNoEventYet());
  EXPECT_TRUE(keyhark.isRunning());
}

}  // namespace
}  // namespace deskplay::testing
