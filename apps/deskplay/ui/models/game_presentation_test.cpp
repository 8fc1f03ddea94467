#include "ui/models/game_presentation.hpp"

#include <gtest/gtest.h>

#include <QVariantList>

namespace deskplay::ui {
namespace {

core::Game gameWith(core::LaunchMode launch, std::optional<core::MultiplayerSpec> multiplayer) {
  core::Game game;
  game.id = "pong";
  game.name = "Pong";
  game.launch = launch;
  game.multiplayer = std::move(multiplayer);
  return game;
}

struct ModeCase {
  const char* name;
  std::optional<core::MultiplayerSpec> multiplayer;
  ModeChoiceTexts texts;
};

class ModeChoice : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeChoice, RowsTakeTheGamesTextsOrTheDefaults) {
  EXPECT_EQ(modeChoiceTexts(gameWith(core::LaunchMode::soloOrMultiplayer, GetParam().multiplayer)),
            GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ModeChoice,
    ::testing::Values(
        ModeCase{"NoMultiplayerRecord", std::nullopt, {"Solo", "", "Multiplayer", "Two-player"}},
        ModeCase{"TaglineOnly",
                 core::MultiplayerSpec{"Race a friend", std::nullopt, std::nullopt},
                 {"Solo", "", "Multiplayer", "Race a friend"}},
        ModeCase{"EveryText",
                 core::MultiplayerSpec{"Race a friend", "Practice", "Against the clock"},
                 {"Practice", "Against the clock", "Multiplayer", "Race a friend"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(GamePresentation, CarriesTheCardTheControlsAndThePlayerCount) {
  core::Game game = gameWith(core::LaunchMode::multiplayerOnly, std::nullopt);
  game.card.gradient = {"#ff0000", "0000ff"};
  game.card.glyph = {"#o.#o", "o#"};
  game.card.palette = std::map<std::string, std::string>{{"o", "#00ff00"}};
  game.controls = {{"1", "← →", "Steer"}};

  const QVariantMap shown = gamePresentation(game);
  EXPECT_EQ(shown["id"].toString(), "pong");
  EXPECT_EQ(shown["name"].toString(), "Pong");
  EXPECT_EQ(shown["gradient"].toList(), (QVariantList{QColor(255, 0, 0), QColor(0, 0, 255)}));
  const QVariantList rows = shown["glyph"].toList();
  ASSERT_EQ(rows.size(), 2);
  const QVariantList first = rows[0].toList();
  ASSERT_EQ(first.size(), 5);
  EXPECT_EQ(first[0].value<QColor>(), QColor::fromRgbF(1, 1, 1, 0.95f));
  EXPECT_EQ(first[1].value<QColor>(), QColor(0, 255, 0));
  EXPECT_EQ(first[2].value<QColor>().alpha(), 0);
  EXPECT_TRUE(shown["wideGlyph"].toBool());
  EXPECT_TRUE(shown["multiplayer"].toBool());
  EXPECT_TRUE(shown["fourPlayers"].toBool());
  const QVariantList controls = shown["controls"].toList();
  ASSERT_EQ(controls.size(), 1);
  EXPECT_EQ(controls[0].toMap()["keys"].toString(), "← →");
  EXPECT_EQ(controls[0].toMap()["action"].toString(), "Steer");

  game.launch = core::LaunchMode::solo;
  game.card.glyph = {"###", "###"};
  const QVariantMap solo = gamePresentation(game);
  EXPECT_FALSE(solo["wideGlyph"].toBool());
  EXPECT_FALSE(solo["multiplayer"].toBool());
  EXPECT_FALSE(solo["fourPlayers"].toBool());
}

}  // namespace
}  // namespace deskplay::ui
