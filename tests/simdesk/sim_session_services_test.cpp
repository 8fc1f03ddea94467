#include <gtest/gtest.h>

#include <optional>

#include "platform/sim/sim_distributed_notifications.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

constexpr const char* kBegin = "com.apple.HIToolbox.beginMenuTrackingNotification";

TEST(SimDistributedNotificationsTest, PostsReachObserversOfTheirNameAndAreLogged) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  auto ours = session.connect("Deskplay");
  auto theirs = session.connect("Other");
  platform::SimDistributedNotifications poster(*ours);
  platform::SimDistributedNotifications observer(*theirs);
  int begins = 0;
  int others = 0;
  auto begin = observer.observe(kBegin, [&] { ++begins; });
  auto other = observer.observe("something.else", [&] { ++others; });
  poster.post(kBegin);
  EXPECT_TRUE(eventuallyDispatched(*theirs, [&] { return begins == 1; }));
  EXPECT_EQ(others, 0);
  const Completed log = session.ctl({"notifications"});
  ASSERT_EQ(log.status, 0);
  const auto entry = nlohmann::json::parse(log.output);
  EXPECT_EQ(entry["name"], kBegin);
  EXPECT_EQ(entry["app"], "Deskplay");

  begin.reset();
  poster.post(kBegin);
  poster.post("something.else");
  EXPECT_TRUE(eventuallyDispatched(*theirs, [&] { return others == 1; }));
  EXPECT_EQ(begins, 1) << "an observation that went hears nothing more";
}

TEST(SimOpenPanelTest, TheAnswerGoesBackToTheCaller) {
  SimdeskSession session;
  std::filesystem::create_directories(session.home() / "Games" / "Mine");
  ASSERT_TRUE(session.start());
  auto connection = session.connect("Deskplay");
  platform::SimWorkspace workspace(*connection);
  std::vector<std::optional<std::filesystem::path>> answers;
  const platform::FolderChoice choice{session.home() / "Games", "Choose",
                                      platform::FolderChoice::Creation::allowed};
  workspace.chooseFolder(choice, [&](auto folder) { answers.push_back(std::move(folder)); });
  const nlohmann::json panel = session.state()["openPanel"];
  ASSERT_FALSE(panel.is_null());
  EXPECT_EQ(panel["folders"], nlohmann::json::array({"Mine"}));
  EXPECT_EQ(panel["prompt"], "Choose");

  EXPECT_EQ(session.ctl({"open-panel", "choose", (session.home() / "nowhere").string()}).status, 1);
  ASSERT_EQ(
      session.ctl({"open-panel", "choose", (session.home() / "Games" / "Mine").string()}).status,
      0);
  EXPECT_TRUE(eventuallyDispatched(*connection, [&] { return answers.size() == 1; }));
  EXPECT_EQ(answers[0], session.home() / "Games" / "Mine");

  workspace.chooseFolder(choice, [&](auto folder) { answers.push_back(std::move(folder)); });
  ASSERT_EQ(session.ctl({"open-panel", "cancel"}).status, 0);
  EXPECT_TRUE(eventuallyDispatched(*connection, [&] { return answers.size() == 2; }));
  EXPECT_EQ(answers[1], std::nullopt);
  const Completed none = session.ctl({"open-panel", "cancel"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.errors.find("no open panel is shown"), std::string::npos);
  EXPECT_EQ(session.ctl({"open-panel", "choose"}).status, 2);
}

TEST(SimSessionServicesWithoutSimdeskTest, NothingIsPostedAndThePanelAnswersNothingAtOnce) {
  SimdeskSession session;
  auto connection = session.connect("Deskplay");
  platform::SimDistributedNotifications notifications(*connection);
  platform::SimWorkspace workspace(*connection);
  auto observation = notifications.observe(kBegin, [] {});
  notifications.post(kBegin);
  std::optional<std::optional<std::filesystem::path>> answer;
  workspace.chooseFolder({session.home(), "Choose", platform::FolderChoice::Creation::refused},
                         [&](auto folder) { answer = std::move(folder); });
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, std::nullopt);
}

}  // namespace
}  // namespace deskplay::testing
