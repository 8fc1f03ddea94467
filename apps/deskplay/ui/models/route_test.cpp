#include "ui/models/route.hpp"

#include <gtest/gtest.h>

#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {
namespace {

core::Game game(const std::string& id, core::LaunchMode launch) {
  core::Game game;
  game.id = id;
  game.name = id;
  game.launch = launch;
  return game;
}

const std::vector<core::Game> kCatalog = {
    game("snake", core::LaunchMode::solo),
    game("pong", core::LaunchMode::soloOrMultiplayer),
    game("poker", core::LaunchMode::multiplayerOnly),
};

struct BackCase {
  const char* name;
  Route route;
  std::optional<Route> back;
};

class BackDestination : public ::testing::TestWithParam<BackCase> {};

TEST_P(BackDestination, LeadsWhereTheTableSays) {
  EXPECT_EQ(backDestination(GetParam().route, kCatalog), GetParam().back);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRoute, BackDestination,
    ::testing::Values(
        BackCase{"Library", Route::library(), std::nullopt},
        BackCase{"Settings", Route::settings(), Route::library()},
        BackCase{"SettingsCategory", Route::settingsCategory(SettingsCategory::saved),
                 Route::settings()},
        BackCase{"ModeChoice", Route::modeChoice("pong"), Route::library()},
        BackCase{"SetupOfAnOnlineOnlyGame", Route::setup("poker"), Route::library()},
        BackCase{"SetupOfAGameWithSoloPlay", Route::setup("pong"), Route::modeChoice("pong")},
        BackCase{"SetupOfAVanishedGame", Route::setup("gone"), Route::modeChoice("gone")}),
    [](const auto& test) { return std::string(test.param.name); });

struct TitleCase {
  const char* name;
  Route route;
  bool gameRunning;
  std::string title;
};

class HeaderTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(HeaderTitle, NamesTheScreen) {
  EXPECT_EQ(headerTitle(GetParam().route, GetParam().gameRunning), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRoute, HeaderTitle,
    ::testing::Values(
        TitleCase{"Library", Route::library(), false, "Deskplay"},
        TitleCase{"ModeChoice", Route::modeChoice("pong"), false, "Deskplay"},
        TitleCase{"Setup", Route::setup("pong"), false, "Deskplay"},
        TitleCase{"Settings", Route::settings(), false, "Settings"},
        TitleCase{"Account", Route::settingsCategory(SettingsCategory::account), false, "Account"},
        TitleCase{"General", Route::settingsCategory(SettingsCategory::general), false, "General"},
        TitleCase{"Permissions", Route::settingsCategory(SettingsCategory::permissions), false,
                  "Permissions"},
        TitleCase{"Controls", Route::settingsCategory(SettingsCategory::controls), false,
                  "Controls"},
        TitleCase{"Saved", Route::settingsCategory(SettingsCategory::saved), false,
                  "Saved Games & Exports"},
        TitleCase{"Multiplayer", Route::settingsCategory(SettingsCategory::multiplayer), false,
                  "Multiplayer"},
        TitleCase{"Desktop", Route::settingsCategory(SettingsCategory::desktop), false,
                  "Desktop Safety"},
        TitleCase{"SettingsWhileAGameRuns", Route::settings(), true, "Deskplay"},
        TitleCase{"CategoryWhileAGameRuns", Route::settingsCategory(SettingsCategory::saved), true,
                  "Deskplay"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Route, EqualityIsByKindAndPayload) {
  EXPECT_EQ(Route::setup("pong"), Route::setup("pong"));
  EXPECT_NE(Route::setup("pong"), Route::setup("poker"));
  EXPECT_NE(Route::setup("pong"), Route::modeChoice("pong"));
  EXPECT_NE(Route::settingsCategory(SettingsCategory::saved),
            Route::settingsCategory(SettingsCategory::desktop));
}

TEST(SettingsCategories, ListTheMenuInOrderWithKnownSymbols) {
  std::vector<std::string_view> names;
  for (const SettingsCategoryInfo& info : settingsCategories()) {
    names.push_back(info.name);
    EXPECT_TRUE(systemSymbol(info.symbol).ok()) << info.symbol;
    EXPECT_EQ(settingsCategoryNamed(info.name), info.category);
  }
  EXPECT_EQ(names, (std::vector<std::string_view>{"account", "general", "permissions", "controls",
                                                  "saved", "multiplayer", "desktop"}));
  EXPECT_EQ(settingsCategoryNamed("Account"), std::nullopt);
}

}  // namespace
}  // namespace deskplay::ui
