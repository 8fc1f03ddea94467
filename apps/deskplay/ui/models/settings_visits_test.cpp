#include "ui/models/settings_visits.hpp"

#include <gtest/gtest.h>

#include <QTest>

#include "ui/models/menu_router.hpp"
#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

using State = core::AccountStore::State;
using testing::MenuTestStores;
using testing::TestGame;
using Lines = std::vector<std::string>;

// The settings screens coming and going through the router, as the popover shows them.
class SettingsVisitsTest : public ::testing::Test {
 protected:
  SettingsVisitsTest() {
    stores.addGame(TestGame("snake", "Snake"));
    stores.refreshCatalog();
  }

  void openPane(const char* name) {
    router.openSettings();
    router.openSettingsCategory(name);
  }

  // The poll's starts and stops in the application log.
  Lines pollLines() const {
    Lines lines;
    for (const std::string& line : stores.permissionLogLines()) {
      if (line.starts_with("perms: start") || line.starts_with("perms: stop")) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  MenuTestStores stores;
  MenuRouter router{stores.routerStores()};
};

TEST_F(SettingsVisitsTest, OneVisitOfAPaneLogsOneStartAndOneStop) {
  openPane("permissions");
  EXPECT_TRUE(stores.host.permissions.isPolling());
  EXPECT_EQ(stores.host.timers.repeatingCount(), 1);
  router.goBack();
  EXPECT_FALSE(stores.host.permissions.isPolling());
  router.goBack();
  EXPECT_EQ(router.screen(), "library");
  EXPECT_EQ(pollLines(), (Lines{"perms: startPolling", "perms: stopPolling"}));
}

TEST_F(SettingsVisitsTest, ThePollFindsAGrantWhileThePaneIsShown) {
  stores.host.accessibility.setTrusted(false);
  stores.host.permissions.refresh();
  openPane("permissions");
  stores.host.accessibility.setTrusted(true);
  stores.host.timers.advance(core::PermissionsModel::kPollInterval);
  EXPECT_TRUE(stores.host.permissions.accessibility());
  EXPECT_TRUE(router.settings()->permissions()->rows()[0].toMap()["granted"].toBool());
}

TEST_F(SettingsVisitsTest, ClosingThePopoverEndsTheVisitAndReopeningBeginsAnother) {
  openPane("general");
  router.setPopoverShown(false);
  EXPECT_FALSE(stores.host.permissions.isPolling());
  router.setPopoverShown(true);
  EXPECT_TRUE(stores.host.permissions.isPolling());
  router.setPopoverShown(false);
  EXPECT_EQ(pollLines(), (Lines{"perms: startPolling", "perms: stopPolling", "perms: startPolling",
                                "perms: stopPolling"}));
}

TEST_F(SettingsVisitsTest, EveryPaneShownReadsTheLoginItemAgain) {
  stores.loginItems.setStatus(platform::LoginItems::ServiceStatus::enabled);
  EXPECT_FALSE(stores.loginItem.enabled()) << "approved in System Settings meanwhile";
  openPane("controls");
  EXPECT_TRUE(stores.loginItem.enabled());
}

TEST_F(SettingsVisitsTest, OnlyTheAccountPaneReadsTheAccount) {
  deskplay::testing::FakeHttpServer roomServer;
  stores.storeSessionKnownTo(roomServer);
  openPane("general");
  EXPECT_FALSE(stores.account.checking());
  router.goBack();
  router.openSettingsCategory("account");
  EXPECT_TRUE(QTest::qWaitFor([&] { return stores.account.state() == State::signedIn; }));
}

TEST_F(SettingsVisitsTest, TheSettingsStayWithinReachDuringAGame) {
  router.selectGame("snake");
  ASSERT_TRUE(stores.supervisor->currentGame());
  EXPECT_EQ(router.screen(), "nowPlaying");

  openPane("general");
  EXPECT_EQ(router.screen(), "settingsCategory");
  EXPECT_EQ(router.settingsCategory(), "general");
  EXPECT_EQ(router.headerTitle(), "General");
  EXPECT_TRUE(stores.host.permissions.isPolling());

  router.goBack();
  EXPECT_EQ(router.headerTitle(), "Settings");
  router.goBack();
  EXPECT_EQ(router.screen(), "nowPlaying");
  EXPECT_EQ(router.headerTitle(), "Deskplay");
  EXPECT_FALSE(stores.host.permissions.isPolling());
}

TEST_F(SettingsVisitsTest, AGameStartedFromElsewhereEndsTheVisit) {
  openPane("permissions");
  stores.supervisor->play(stores.catalog.games().front(), {});
  ASSERT_TRUE(stores.supervisor->currentGame());
  EXPECT_EQ(router.screen(), "nowPlaying");
  EXPECT_FALSE(stores.host.permissions.isPolling());
}

}  // namespace
}  // namespace deskplay::ui
