// The screens rendered offscreen over the real stores, driven as a person or an assistive tool
// drives them; each screen is saved as a screenshot.
#include "ui/screens/menu_screens.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "ui/screens/popover_harness.hpp"
#include "ui/screens/qml_warnings.hpp"
#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

namespace fs = std::filesystem;
using testing::MenuTestStores;
using testing::PopoverHarness;
using testing::TestGame;

constexpr const char* kSignInTitle = "Sign in to play online";
constexpr const char* kSignInText =
    "Rooms on the hosted server need a Patreon account, so the other players see a real name at "
    "the table.";
constexpr const char* kOwnServerNote =
    "Running your own room server? Set it under Settings › Multiplayer and no account is needed.";

class ScreensTest : public ::testing::Test {
 protected:
  ScreensTest() {
    stores.addGame(
        TestGame("snake", "Snake").withControls(R"([["← ↑ → ↓","Steer"],["Space","Pause"]])"));
    stores.addGame(TestGame("pong", "Pong")
                       .launching("soloOrMultiplayer")
                       .withMultiplayer(R"({"tagline":"Rally against a friend","soloLabel":)"
                                        R"("Practice","soloTagline":"Against the wall"})")
                       .withGlyph({"#....o....#", ".#..ooo..#."}));
    stores.addGame(TestGame("poker", "Poker").in("tabletop").launching("multiplayerOnly"));
  }

  ~ScreensTest() override {
    const QStringList warnings = testing::takeQmlWarnings();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  }

  // Shows the catalog, and the popover once it holds it.
  void open() {
    stores.refreshCatalog();
    popover = std::make_unique<PopoverHarness>(screens);
  }

  bool shows(const QString& text) { return popover->texts().contains(text); }

  // Waits until the texts include every one of `texts`.
  bool showsAll(const QStringList& texts) {
    return QTest::qWaitFor([&] {
      const QStringList shown = popover->texts();
      return std::ranges::all_of(texts, [&](const QString& text) { return shown.contains(text); });
    });
  }

  MenuTestStores stores;
  MenuScreens screens{stores.routerStores()};
  std::unique_ptr<PopoverHarness> popover;
};

TEST_F(ScreensTest, TheLibraryShowsItsSectionsAndCardsWithTheHeader) {
  open();
  EXPECT_TRUE(showsAll({"Deskplay", "ARCADE", "TABLETOP", "Snake", "Pong", "Poker"}));
  EXPECT_FALSE(shows("Input access needed"));
  EXPECT_EQ(popover->find("Back"), nullptr);
  EXPECT_NE(popover->find("Settings"), nullptr);
  EXPECT_NE(popover->find("Quit"), nullptr);
  EXPECT_EQ(popover->root().width(), 480);

  // A wide glyph makes its card span two columns.
  QQuickItem* pong = popover->item("Pong");
  QQuickItem* snake = popover->item("Snake");
  ASSERT_NE(pong, nullptr);
  ASSERT_NE(snake, nullptr);
  EXPECT_GT(pong->width(), 2 * snake->width());
  popover->screenshot("library");
}

TEST_F(ScreensTest, PressingASoloCardStartsItAndTheNowPlayingScreenStopsIt) {
  open();
  QSignalSpy dismissals(&screens, &MenuScreens::dismissRequested);
  ASSERT_TRUE(popover->press("Snake"));
  EXPECT_EQ(dismissals.count(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dismissals.count() == 1; }));
  EXPECT_EQ(stores.engineArguments(), std::vector<std::string>{});

  EXPECT_TRUE(showsAll({"Deskplay", "Now playing", "Snake", "Controls", "← ↑ → ↓", "Steer", "Space",
                        "Pause", "Stop & restore"}));
  popover->screenshot("now-playing");

  ASSERT_TRUE(popover->press("Stop & restore"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return stores.supervisor->currentGame() == std::nullopt; }));
  EXPECT_EQ(stores.fixture.termsReceived(), 1);
  EXPECT_TRUE(showsAll({"ARCADE", "Snake"}));
}

TEST_F(ScreensTest, WithoutKeyboardControlTheBannerPromptsAndCardsAreDimmedAndInert) {
  open();
  QQuickItem* card = popover->item("Snake");
  ASSERT_NE(card, nullptr);
  const QRectF area = card->mapRectToScene(QRectF(0, 0, card->width(), card->height()));
  const QPoint tilePoint = area.topLeft().toPoint() + QPoint(12, 12);
  const QPoint outside(2, static_cast<int>(area.center().y()));
  const QImage enabled = popover->screenshot("library");

  stores.setTrusted(false);
  ASSERT_TRUE(showsAll({"Input access needed", "Grant keyboard control to play"}));
  card = popover->item("Snake");
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !card->isEnabled(); }));
  const QRectF moved = card->mapRectToScene(QRectF(0, 0, card->width(), card->height()));
  const QImage dimmed = popover->screenshot("library-permission-banner");

  // The banner pushed the cards down; the same point of the card's tile, against the
  // popover's background, has lost most of its contrast.
  const QPoint dimmedPoint = tilePoint + (moved.topLeft() - area.topLeft()).toPoint();
  const auto distance = [](QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
  };
  const QColor background = enabled.pixelColor(outside);
  const int full = distance(enabled.pixelColor(tilePoint), background);
  const int faded = distance(dimmed.pixelColor(dimmedPoint), background);
  EXPECT_GT(full, 150);
  EXPECT_LT(faded, full * 2 / 3);
  EXPECT_GT(faded, 0);

  popover->press("Snake");
  popover->press("Pong");
  EXPECT_EQ(screens.router().route(), Route::library());
  EXPECT_EQ(stores.supervisor->currentGame(), std::nullopt);

  const int prompts = stores.host.accessibility.prompts();
  ASSERT_TRUE(popover->press("Input access needed"));
  EXPECT_EQ(stores.host.accessibility.prompts(), prompts + 1);

  // The mode choice's rows are dimmed and inert too.
  screens.router().setRoute(Route::modeChoice("pong"));
  ASSERT_TRUE(showsAll({"How do you want to play?"}));
  ASSERT_NE(popover->item("Practice"), nullptr);
  EXPECT_FALSE(popover->item("Practice")->isEnabled());
  EXPECT_LT(popover->item("Multiplayer")->opacity(), 1);
  popover->press("Practice");
  popover->press("Multiplayer");
  EXPECT_EQ(screens.router().route(), Route::modeChoice("pong"));
  EXPECT_EQ(stores.supervisor->currentGame(), std::nullopt);
}

TEST_F(ScreensTest, AnEmptyCatalogShowsItsErrorInRed) {
  for (const char* id : {"snake", "pong", "poker"})
    fs::remove_all(stores.fixture.resources() / "games" / id);
  open();
  const QString error = QString::fromStdString(stores.catalog.refreshError().value_or(""));
  ASSERT_FALSE(error.isEmpty());
  ASSERT_TRUE(showsAll({error}));
  EXPECT_FALSE(shows("ARCADE"));
  EXPECT_EQ(popover->textItem(error)->property("color").value<QColor>(), QColor("#d70015"));
  popover->screenshot("library-empty-error");
}

TEST_F(ScreensTest, TheModeChoiceStartsSoloOrLeadsToTheSetupAndBack) {
  open();
  ASSERT_TRUE(popover->press("Pong"));
  ASSERT_TRUE(showsAll({"How do you want to play?", "Practice", "Against the wall", "Multiplayer",
                        "Rally against a friend"}));
  popover->screenshot("mode-choice");

  ASSERT_TRUE(popover->press("Multiplayer"));
  ASSERT_TRUE(showsAll({kSignInTitle}));
  ASSERT_TRUE(popover->press("Back"));
  ASSERT_TRUE(showsAll({"How do you want to play?"}));

  ASSERT_TRUE(popover->press("Practice"));
  EXPECT_EQ(stores.engineArguments(), std::vector<std::string>{"solo"});
}

TEST_F(ScreensTest, TheSetupGateAsksForSignInAndWaitsForTheBrowser) {
  open();
  ASSERT_TRUE(popover->press("Poker"));
  ASSERT_TRUE(showsAll(
      {"Poker", "Multiplayer", kSignInTitle, kSignInText, "Sign in with Patreon", kOwnServerNote}));
  EXPECT_FALSE(shows("Create & wait"));
  popover->screenshot("setup-signed-out");

  ASSERT_TRUE(popover->press("Sign in with Patreon"));
  ASSERT_TRUE(showsAll({"Finish signing in in your browser",
                        "Deskplay will return here automatically after Patreon.", "Reopen page",
                        "Cancel", kOwnServerNote}));
  popover->screenshot("setup-pending");
  ASSERT_TRUE(popover->press("Reopen page"));
  EXPECT_EQ(stores.fixture.workspace.openedUrls().size(), 2u);

  ASSERT_TRUE(popover->press("Cancel"));
  ASSERT_TRUE(showsAll({kSignInTitle}));
  // An address that cannot be formed leaves the gate with the account's message in orange.
  ASSERT_TRUE(stores.fixture.preferences.setValue("serverURL", {std::string("ws://")}).ok());
  ASSERT_TRUE(popover->press("Sign in with Patreon"));
  const QString message = "The room server URL isn't a valid address.";
  ASSERT_TRUE(showsAll({message, kSignInTitle}));
  EXPECT_EQ(popover->textItem(message)->property("color").value<QColor>(), QColor("#c93400"));
  popover->screenshot("setup-sign-in-error");
}

TEST_F(ScreensTest, AStoredSessionOnTheHostedServerOpensHostOrJoin) {
  deskplay::testing::FakeHttpServer roomServer;
  stores.storeSessionKnownTo(roomServer);
  open();
  ASSERT_TRUE(popover->press("Poker"));
  ASSERT_TRUE(
      showsAll({"Host", "Join", "Share this code with the other three players", "Create & wait"}));
  EXPECT_FALSE(shows(kSignInTitle));
  EXPECT_TRUE(stores.server.isDefault());
  popover->screenshot("setup-signed-in");
}

struct SetupCase {
  const char* name;
  const char* game;
  bool viaModeChoice;
  const char* hostCaption;
  const char* joinCaption;
  const char* note;
};

class SetupScreens : public ScreensTest, public ::testing::WithParamInterface<SetupCase> {};

TEST_P(SetupScreens, HostAndJoinShowTheirTextsAndStartWithTheRoomCode) {
  const SetupCase& setup = GetParam();
  stores.server.setUrlString("ws://127.0.0.1:9");
  open();
  ASSERT_TRUE(popover->press(setup.game));
  if (setup.viaModeChoice) {
    ASSERT_TRUE(popover->press("Multiplayer"));
  }
  ASSERT_TRUE(showsAll({"Host", "Join", setup.hostCaption, setup.note, "Create & wait"}));
  const QString firstCode = screens.router().setup()->hostCode();
  EXPECT_TRUE(shows(firstCode));
  ASSERT_TRUE(popover->press("Refresh"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows(screens.router().setup()->hostCode()); }));
  popover->screenshot(QString("setup-host-") + setup.name);

  ASSERT_TRUE(popover->press("Join"));
  ASSERT_TRUE(showsAll({setup.joinCaption, setup.note, "Join game"}));
  ASSERT_NE(popover->find("Join game"), nullptr);
  EXPECT_FALSE(popover->item("Join game")->isEnabled());
  popover->type("word-word-00", " neon-comet-42 ");
  ASSERT_TRUE(QTest::qWaitFor([&] { return popover->item("Join game")->isEnabled(); }));
  popover->screenshot(QString("setup-join-") + setup.name);

  ASSERT_TRUE(popover->press("Join game"));
  EXPECT_EQ(stores.engineArguments(), (std::vector<std::string>{"join", "neon-comet-42"}));
}

INSTANTIATE_TEST_SUITE_P(
    Games, SetupScreens,
    ::testing::Values(
        SetupCase{"two-players", "Pong", true, "Share this code with your opponent",
                  "Enter your opponent's code", "Your opponent needs Deskplay and the same code."},
        SetupCase{"four-players", "Poker", false, "Share this code with the other three players",
                  "Enter the host's code", "All four players need Deskplay and the same code."}),
    [](const auto& test) {
      std::string name = test.param.name;
      std::erase(name, '-');
      return name;
    });

TEST_F(ScreensTest, TheSupervisorsErrorShowsInRedBelowTheScreenAndTheRootGrows) {
  open();
  const qreal before = popover->root().implicitHeight();
  fs::remove(stores.fixture.resources() / "node");
  ASSERT_TRUE(popover->press("Snake"));
  const QString error = QString::fromStdString(stores.supervisor->lastError().value_or(""));
  ASSERT_TRUE(error.startsWith("Failed to launch: ")) << error.toStdString();
  ASSERT_TRUE(showsAll({error, "ARCADE"}));
  EXPECT_EQ(popover->textItem(error)->property("color").value<QColor>(), QColor("#d70015"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return popover->root().implicitHeight() > before; }));
  EXPECT_EQ(popover->window().height(), std::ceil(popover->root().implicitHeight()));
  popover->screenshot("error-line");
}

TEST_F(ScreensTest, TheHeaderLeadsToTheSettingsAndBackAndQuits) {
  open();
  ASSERT_TRUE(popover->press("Settings"));
  ASSERT_TRUE(showsAll({"Settings", "Account", "Sign in to keep your seat online", "General",
                        "Permissions", "Controls", "Saved Games & Exports", "Multiplayer",
                        "Desktop Safety", "Backup & restore your files"}));
  popover->screenshot("settings-menu");
  ASSERT_TRUE(popover->press("Desktop Safety"));
  ASSERT_TRUE(showsAll({"Desktop Safety"}));
  ASSERT_TRUE(popover->press("Back"));
  ASSERT_TRUE(popover->press("Back"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return popover->find("Back") == nullptr; }));
  EXPECT_TRUE(shows("ARCADE"));

  QSignalSpy quits(&screens, &MenuScreens::quitRequested);
  ASSERT_TRUE(popover->press("Quit"));
  EXPECT_EQ(quits.count(), 1);
}

TEST_F(ScreensTest, ACardUnderThePointerGrowsWithTheSpringAndShrinksBack) {
  open();
  QQuickItem* card = popover->item("Snake");
  ASSERT_NE(card, nullptr);
  popover->hover(*card);
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(card->scale() - 1.03) < 0.001; }));
  popover->leave();
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(card->scale() - 1.0) < 0.001; }));
}

}  // namespace
}  // namespace deskplay::ui
