#include "core/settings/login_item.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/testing/fake_login_items.hpp"

namespace deskplay::core {
namespace {

using platform::LoginItems;
using platform::testing::FakeLoginItems;
using Answer = FakeLoginItems::RegistrationAnswer;
using ServiceStatus = LoginItems::ServiceStatus;

TEST(LoginItem, MirrorsTheSystemStatusAfterEachSwitch) {
  const struct {
    const char* name;
    ServiceStatus before;
    Answer answer;
    bool on;
    int registers;
    int unregisters;
    bool enabled;
  } cases[] = {
      {"on registers", ServiceStatus::notRegistered, Answer::enable, true, 1, 0, true},
      {"on when already enabled makes no call", ServiceStatus::enabled, Answer::refuse, true, 0, 0,
       true},
      {"refused registration turns back off", ServiceStatus::notRegistered, Answer::refuse, true, 1,
       0, false},
      {"approval pending stays off", ServiceStatus::notRegistered, Answer::holdForApproval, true, 1,
       0, false},
      {"on while awaiting approval asks again", ServiceStatus::requiresApproval,
       Answer::holdForApproval, true, 1, 0, false},
      {"off unregisters", ServiceStatus::enabled, Answer::enable, false, 0, 1, false},
      {"off always unregisters, failure swallowed", ServiceStatus::notRegistered, Answer::enable,
       false, 0, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLoginItems loginItems;
    loginItems.setStatus(c.before);
    loginItems.answerRegistrations(c.answer);
    LoginItem item(loginItems);
    QSignalSpy changes(&item, &LoginItem::enabledChanged);
    item.set(c.on);
    EXPECT_EQ(loginItems.registerCount(), c.registers);
    EXPECT_EQ(loginItems.unregisterCount(), c.unregisters);
    EXPECT_EQ(item.enabled(), c.enabled);
    // Announced even when unchanged, so a switch the user flipped follows the system back.
    EXPECT_EQ(changes.count(), 1);
  }
}

TEST(LoginItem, RefreshPicksUpAnApprovalGivenMeanwhile) {
  FakeLoginItems loginItems;
  loginItems.answerRegistrations(Answer::holdForApproval);
  LoginItem item(loginItems);
  item.set(true);
  ASSERT_FALSE(item.enabled());
  QSignalSpy changes(&item, &LoginItem::enabledChanged);

  item.refresh();
  EXPECT_EQ(changes.count(), 0);
  loginItems.setStatus(ServiceStatus::enabled);
  item.refresh();
  EXPECT_TRUE(item.enabled());
  EXPECT_EQ(changes.count(), 1);
}

TEST(LoginItem, CreationReadsTheStatus) {
  FakeLoginItems loginItems;
  loginItems.setStatus(ServiceStatus::enabled);
  EXPECT_TRUE(LoginItem(loginItems).enabled());
  loginItems.setStatus(ServiceStatus::notFound);
  EXPECT_FALSE(LoginItem(loginItems).enabled());
}

}  // namespace
}  // namespace deskplay::core
