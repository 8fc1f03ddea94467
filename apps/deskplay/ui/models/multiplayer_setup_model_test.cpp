#include "ui/models/multiplayer_setup_model.hpp"

#include <gtest/gtest.h>

#include <QTest>

#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

using State = core::AccountStore::State;
using Mode = MultiplayerSetupModel::Mode;
using testing::MenuTestStores;

class MultiplayerSetup : public ::testing::Test {
 protected:
  MultiplayerSetup() { setup.begin(twoPlayerGame()); }

  static core::Game twoPlayerGame() {
    core::Game game;
    game.id = "pong";
    game.launch = core::LaunchMode::soloOrMultiplayer;
    return game;
  }

  MenuTestStores stores;
  std::vector<std::vector<std::string>> plays;
  MultiplayerSetupModel setup{
      {stores.host.keyTap, stores.account, stores.server},
      [this](const std::vector<std::string>& arguments) { plays.push_back(arguments); }};
};

TEST_F(MultiplayerSetup, HostingSendsTheCodeAsShownAndRegeneratingReplacesIt) {
  const QString shown = setup.hostCode();
  ASSERT_TRUE(setup.canPlay());
  setup.play();
  setup.regenerateCode();
  const QString regenerated = setup.hostCode();
  setup.play();
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0], (std::vector<std::string>{"join", shown.toStdString()}));
  EXPECT_EQ(plays[1], (std::vector<std::string>{"join", regenerated.toStdString()}));
}

struct JoinCase {
  const char* name;
  QString typed;
  bool canPlay;
  std::string sent;
};

class JoinField : public MultiplayerSetup, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(JoinField, IsSentWithoutTheSpacesAndTabsAroundIt) {
  setup.setMode("Join");
  setup.setJoinCode(GetParam().typed);
  EXPECT_EQ(setup.canPlay(), GetParam().canPlay);
  setup.play();
  if (GetParam().canPlay) {
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0], (std::vector<std::string>{"join", GetParam().sent}));
  } else {
    EXPECT_TRUE(plays.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, JoinField,
    ::testing::Values(JoinCase{"Empty", "", false, ""}, JoinCase{"OnlySpaces", "   ", false, ""},
                      JoinCase{"SpacesAndTabs", " \t ", false, ""},
                      JoinCase{"Padded", " neon-comet-42 ", true, "neon-comet-42"},
                      JoinCase{"TabbedKeepsInnerSpaceAndCase", "\tNeon comet-42\t", true,
                               "Neon comet-42"},
                      JoinCase{"NewlineIsNotTrimmed", "a\n", true, "a\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(MultiplayerSetup, SwitchingModesKeepsBothCodes) {
  const QString host = setup.hostCode();
  setup.setMode("Join");
  setup.setJoinCode("neon-comet-42");
  setup.setMode("Host");
  EXPECT_EQ(setup.hostCode(), host);
  setup.setMode("Join");
  EXPECT_EQ(setup.joinCode(), "neon-comet-42");
  EXPECT_EQ(setup.modeValue(), Mode::join);
}

TEST_F(MultiplayerSetup, NothingStartsWithoutKeyboardControl) {
  stores.setTrusted(false);
  EXPECT_FALSE(setup.canPlay());
  setup.play();
  EXPECT_TRUE(plays.empty());
}

TEST_F(MultiplayerSetup, ShowingItAgainStartsOverWithAFreshCode) {
  std::uint32_t next = 0;
  MultiplayerSetupModel counted({stores.host.keyTap, stores.account, stores.server}, {},
                                [&](std::uint32_t) { return next++ % 10; });
  counted.begin(twoPlayerGame());
  const QString first = counted.hostCode();
  counted.setMode("Join");
  counted.setJoinCode("x");
  counted.begin(twoPlayerGame());
  EXPECT_NE(counted.hostCode(), first);
  EXPECT_EQ(counted.modeValue(), Mode::host);
  EXPECT_EQ(counted.joinCode(), "");
}

struct TextCase {
  const char* name;
  core::LaunchMode launch;
  Mode mode;
  const char* caption;
  const char* note;
  const char* playLabel;
};

class PlayerTexts : public MultiplayerSetup, public ::testing::WithParamInterface<TextCase> {};

TEST_P(PlayerTexts, FollowThePlayerCountAndMode) {
  core::Game game = twoPlayerGame();
  game.launch = GetParam().launch;
  setup.begin(game);
  setup.setModeValue(GetParam().mode);
  EXPECT_EQ(setup.codeCaption(), GetParam().caption);
  EXPECT_EQ(setup.note(), GetParam().note);
  EXPECT_EQ(setup.playLabel(), GetParam().playLabel);
}

INSTANTIATE_TEST_SUITE_P(
    Games, PlayerTexts,
    ::testing::Values(TextCase{"TwoHost", core::LaunchMode::soloOrMultiplayer, Mode::host,
                               "Share this code with your opponent",
                               "Your opponent needs Deskplay and the same code.", "Create & wait"},
                      TextCase{"TwoJoin", core::LaunchMode::soloOrMultiplayer, Mode::join,
                               "Enter your opponent's code",
                               "Your opponent needs Deskplay and the same code.", "Join game"},
                      TextCase{"FourHost", core::LaunchMode::multiplayerOnly, Mode::host,
                               "Share this code with the other three players",
                               "All four players need Deskplay and the same code.",
                               "Create & wait"},
                      TextCase{"FourJoin", core::LaunchMode::multiplayerOnly, Mode::join,
                               "Enter the host's code",
                               "All four players need Deskplay and the same code.", "Join game"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(MultiplayerSetup, TheGateAsksForSignInOnTheHostedServer) {
  EXPECT_EQ(stores.account.state(), State::signedOut);
  EXPECT_FALSE(setup.unlocked());
  EXPECT_FALSE(setup.signInPending());

  setup.signIn();
  EXPECT_EQ(stores.account.state(), State::pending);
  EXPECT_TRUE(setup.signInPending());
  setup.reopenSignInPage();
  EXPECT_EQ(stores.fixture.workspace.openedUrls().size(), 2u);
  setup.cancelSignIn();
  EXPECT_EQ(stores.account.state(), State::signedOut);
  EXPECT_FALSE(setup.signInPending());
}

TEST_F(MultiplayerSetup, ARoomServerOfOnesOwnNeedsNoAccount) {
  stores.server.setUrlString("ws://127.0.0.1:9/rooms");
  EXPECT_TRUE(setup.unlocked());
  stores.server.reset();
  EXPECT_FALSE(setup.unlocked());
}

TEST_F(MultiplayerSetup, ShowingItReadsTheStoredSessionWhichUnlocksIt) {
  deskplay::testing::FakeHttpServer roomServer;
  stores.storeSessionKnownTo(roomServer);
  ASSERT_TRUE(stores.server.isDefault());

  setup.begin(twoPlayerGame());
  ASSERT_TRUE(QTest::qWaitFor([&] { return setup.unlocked(); }));
  EXPECT_EQ(stores.account.state(), State::signedIn);
}

}  // namespace
}  // namespace deskplay::ui
