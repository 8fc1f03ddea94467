#include "ui/models/menu_router.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "core/feedback/session_record.hpp"
#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

namespace fs = std::filesystem;
using testing::MenuTestStores;
using testing::TestGame;

class MenuRouterTest : public ::testing::Test {
 protected:
  MenuRouterTest() {
    stores.addGame(TestGame("snake", "Snake"));
    stores.addGame(TestGame("pong", "Pong")
                       .launching("soloOrMultiplayer")
                       .withMultiplayer(R"({"tagline":"Race a friend"})"));
    stores.addGame(TestGame("poker", "Poker").launching("multiplayerOnly"));
    stores.refreshCatalog();
  }

  MenuTestStores stores;
  MenuRouter router{stores.routerStores()};
};

TEST_F(MenuRouterTest, ASoloGameStartsAtOnceAndThePopoverClosesOnTheNextTurn) {
  QSignalSpy dismissals(&router, &MenuRouter::dismissRequested);
  router.openSettings();
  router.setRoute(Route::modeChoice("pong"));

  router.selectGame("snake");
  ASSERT_EQ(stores.supervisor->currentGame()->id, "snake");
  EXPECT_EQ(router.route(), Route::library());
  EXPECT_EQ(router.screen(), "nowPlaying");
  EXPECT_EQ(router.currentGame()["name"], "Snake");
  EXPECT_EQ(router.headerTitle(), "Deskplay");
  EXPECT_EQ(dismissals.count(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dismissals.count() == 1; }));
  EXPECT_EQ(stores.engineArguments(), std::vector<std::string>{});
}

TEST_F(MenuRouterTest, AGameWithSoloAndOnlinePlayGoesThroughTheModeChoice) {
  router.selectGame("pong");
  EXPECT_EQ(router.route(), Route::modeChoice("pong"));
  EXPECT_EQ(router.screen(), "modeChoice");
  EXPECT_EQ(router.routeGame()["multiplayerSubtitle"], "Race a friend");
  EXPECT_TRUE(router.hasBack());

  router.chooseMultiplayer();
  EXPECT_EQ(router.route(), Route::setup("pong"));
  router.goBack();
  EXPECT_EQ(router.route(), Route::modeChoice("pong"));

  router.chooseSolo();
  EXPECT_EQ(stores.engineArguments(), std::vector<std::string>{"solo"});
  EXPECT_EQ(router.screen(), "nowPlaying");
}

TEST_F(MenuRouterTest, AnOnlineOnlyGameGoesStraightToTheSetupWhoseStartJoinsTheRoom) {
  stores.server.setUrlString("ws://127.0.0.1:9");
  router.selectGame("poker");
  EXPECT_EQ(router.route(), Route::setup("poker"));
  const std::string code = router.setup()->hostCode().toStdString();

  router.setup()->play();
  EXPECT_EQ(stores.engineArguments(), (std::vector<std::string>{"join", code}));
  EXPECT_EQ(router.route(), Route::library());
}

TEST_F(MenuRouterTest, WithoutKeyboardControlNoScreenStartsAGame) {
  stores.setTrusted(false);
  EXPECT_FALSE(router.gamesEnabled());
  router.selectGame("snake");
  router.selectGame("pong");
  EXPECT_EQ(router.route(), Route::library());
  router.setRoute(Route::modeChoice("pong"));
  router.chooseSolo();
  router.chooseMultiplayer();
  EXPECT_EQ(router.route(), Route::modeChoice("pong"));
  EXPECT_EQ(stores.supervisor->currentGame(), std::nullopt);
}

TEST_F(MenuRouterTest, StopShowsRestoringBeforeTheEngineEndsAndTheLibraryReturns) {
  router.selectGame("snake");
  ASSERT_TRUE(QTest::qWaitFor([&] { return stores.fixture.engineStarted(); }));

  router.stopGame();
  ASSERT_NE(stores.supervisor->feedback(), nullptr);
  ASSERT_NE(stores.supervisor->feedback()->statusWindow(), nullptr);
  EXPECT_EQ(stores.supervisor->feedback()->statusWindow()->phase(), core::session_phase::restoring);
  EXPECT_EQ(stores.fixture.termsReceived(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stores.supervisor->currentGame() == std::nullopt; }));
  EXPECT_EQ(stores.fixture.termsReceived(), 1);
  EXPECT_EQ(router.screen(), "library");
}

TEST_F(MenuRouterTest, SettingsRoutesTitleTheHeaderAndLeadBack) {
  EXPECT_FALSE(router.hasBack());
  router.openSettings();
  EXPECT_EQ(router.headerTitle(), "Settings");
  router.openSettingsCategory("saved");
  EXPECT_EQ(router.screen(), "settingsCategory");
  EXPECT_EQ(router.headerTitle(), "Saved Games & Exports");
  router.openSettingsCategory("no-such-pane");
  EXPECT_EQ(router.route(), Route::settingsCategory(SettingsCategory::saved));
  router.goBack();
  EXPECT_EQ(router.route(), Route::settings());
  router.goBack();
  EXPECT_EQ(router.route(), Route::library());
  router.goBack();
  EXPECT_EQ(router.route(), Route::library());
}

TEST_F(MenuRouterTest, TheSupervisorsErrorShowsBelowTheScreen) {
  QSignalSpy errors(&router, &MenuRouter::lastErrorChanged);
  fs::remove(stores.fixture.resources() / "node");
  router.selectGame("snake");
  EXPECT_GE(errors.count(), 1);
  EXPECT_TRUE(router.lastError().startsWith("Failed to launch: "))
      << router.lastError().toStdString();
  EXPECT_EQ(router.screen(), "library");
}

}  // namespace
}  // namespace deskplay::ui
