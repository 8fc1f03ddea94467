#include "core/settings/permissions_model.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_privacy_checks.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace support = deskplay::testing;
using platform::PrivacyChecks;
using Access = PrivacyChecks::Access;

// The log's messages, without their time stamps.
std::vector<std::string> logMessages(const std::filesystem::path& logFile) {
  std::vector<std::string> messages;
  std::istringstream log(support::readFile(logFile));
  for (std::string line; std::getline(log, line);) {
    messages.push_back(line.substr(line.find("] ") + 2));
  }
  return messages;
}

class PermissionsModelTest : public ::testing::Test {
 protected:
  PermissionsModelTest() : timers_(clock_) {}

  PermissionsModel& model() {
    if (!model_) {
      model_ = std::make_unique<PermissionsModel>(accessibility_, privacy_, workspace_, timers_,
                                                  ArcadeLog(logDir_ / "deskplay-app.log", clock_),
                                                  [this] { ++relaunches_; });
    }
    return *model_;
  }

  std::vector<std::string> logLines() const { return logMessages(logDir_ / "deskplay-app.log"); }

  support::TempDir logDir_;
  platform::testing::FakeClock clock_;
  platform::testing::FakeMainLoopTimers timers_;
  platform::testing::FakeAccessibility accessibility_;
  platform::testing::FakePrivacyChecks privacy_;
  platform::testing::FakeWorkspace workspace_;
  int relaunches_ = 0;
  std::unique_ptr<PermissionsModel> model_;
};

TEST_F(PermissionsModelTest, CreationReadsBothPermissionsAndLogsTheFirstState) {
  const struct {
    bool trusted;
    Access listenEvent;
    bool inputMonitoring;
    std::string line;
  } cases[] = {
      {true, Access::granted, true, "perms: accessibility=true inputMonitoring=true polling=false"},
      {false, Access::granted, true,
       "perms: accessibility=false inputMonitoring=true polling=false"},
      {true, Access::denied, false,
       "perms: accessibility=true inputMonitoring=false polling=false"},
      // Not yet asked counts as not granted; the unchanged first state is still logged.
      {false, Access::unknown, false,
       "perms: accessibility=false inputMonitoring=false polling=false"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    support::TempDir logDir;
    platform::testing::FakeAccessibility accessibility;
    platform::testing::FakePrivacyChecks privacy;
    accessibility.setTrusted(c.trusted);
    privacy.setAccess(c.listenEvent);
    PermissionsModel model(accessibility, privacy, workspace_, timers_,
                           ArcadeLog(logDir / "deskplay-app.log", clock_), [] {});
    EXPECT_EQ(model.accessibility(), c.trusted);
    EXPECT_EQ(model.inputMonitoring(), c.inputMonitoring);
    // A second read of the same state (start-up's refresh) adds nothing.
    model.refresh();
    EXPECT_EQ(logMessages(logDir / "deskplay-app.log"), std::vector<std::string>{c.line});
    EXPECT_EQ(accessibility.prompts(), 0);
  }
}

TEST_F(PermissionsModelTest, PollLogsOneLinePerChangeAndEveryStop) {
  accessibility_.setTrusted(false);
  privacy_.setAccess(Access::denied);
  model();
  QSignalSpy accessibilityChanges(model_.get(), &PermissionsModel::accessibilityChanged);
  QSignalSpy inputMonitoringChanges(model_.get(), &PermissionsModel::inputMonitoringChanged);

  model().startPolling();
  model().startPolling();
  EXPECT_EQ(timers_.repeatingCount(), 1);
  timers_.advance(platform::Clock::Seconds(3.5));

  accessibility_.setTrusted(true);
  timers_.advance(platform::Clock::Seconds(1));
  EXPECT_TRUE(model().accessibility());
  timers_.advance(platform::Clock::Seconds(5));

  privacy_.setAccess(Access::granted);
  accessibility_.setTrusted(false);
  timers_.advance(platform::Clock::Seconds(1));

  model().stopPolling();
  model().stopPolling();
  EXPECT_EQ(timers_.repeatingCount(), 0);
  const int checksAtStop = privacy_.checkCount();
  accessibility_.setTrusted(true);
  timers_.advance(platform::Clock::Seconds(5));
  EXPECT_EQ(privacy_.checkCount(), checksAtStop);

  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "perms: accessibility=false inputMonitoring=false polling=false",
                            "perms: startPolling",
                            "perms: startPolling ignored (already polling)",
                            "perms: accessibility=true inputMonitoring=false polling=true",
                            "perms: accessibility=false inputMonitoring=true polling=true",
                            "perms: stopPolling",
                            "perms: stopPolling",
                        }));
  EXPECT_EQ(accessibilityChanges.count(), 2);
  EXPECT_EQ(inputMonitoringChanges.count(), 1);
  EXPECT_FALSE(model().accessibility());
  EXPECT_TRUE(model().inputMonitoring());
}

TEST_F(PermissionsModelTest, StartingAgainAfterAStopPollsAgain) {
  model().startPolling();
  model().stopPolling();
  model().startPolling();
  EXPECT_TRUE(model().isPolling());
  EXPECT_EQ(timers_.repeatingCount(), 1);
  model_.reset();
  EXPECT_EQ(timers_.repeatingCount(), 0);
}

TEST_F(PermissionsModelTest, OpenShowsThePrivacyPaneOnlyForAUsableUrl) {
  const struct {
    std::string anchor;
    std::vector<std::string> opened;
  } cases[] = {
      {"Privacy_Accessibility",
       {"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"}},
      {"Privacy_ListenEvent",
       {"x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent"}},
      {"Privacy Accessibility", {}},
      {"Privacy_%zz", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.anchor);
    platform::testing::FakeWorkspace workspace;
    PermissionsModel model(accessibility_, privacy_, workspace, timers_,
                           ArcadeLog(logDir_ / "deskplay-app.log", clock_), [] {});
    model.open(c.anchor);
    EXPECT_EQ(workspace.openedUrls(), c.opened);
  }
}

TEST_F(PermissionsModelTest, RelaunchHandsOverToTheRelauncher) {
  model().relaunch();
  EXPECT_EQ(relaunches_, 1);
}

}  // namespace
}  // namespace deskplay::core
