#include "core/catalog/game_json.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace deskplay::core {
namespace {

using Json = nlohmann::json;

Json validRecord() {
  return Json::parse(R"({
    "id": "snake",
    "name": "Snake",
    "entryFile": "snake/index.ts",
    "section": "arcade",
    "launch": "soloOrMultiplayer",
    "order": 2,
    "multiplayer": {"tagline": "Race a friend", "soloLabel": "Alone", "soloTagline": "Just you"},
    "controls": [["←↑→↓", "Steer"], ["Space", "Pause"]],
    "card": {"gradient": ["#112233", "445566"], "glyph": ["#.#", ".#."], "palette": {".": "#ff0000"}}
  })");
}

TEST(GameJsonTest, DecodesEveryField) {
  auto game = decodeGame(validRecord().dump());
  ASSERT_TRUE(game.ok()) << game.message();
  const Game& g = game.value();
  EXPECT_EQ(g.id, "snake");
  EXPECT_EQ(g.name, "Snake");
  EXPECT_EQ(g.entryFile, "snake/index.ts");
  EXPECT_EQ(g.section, GameSection::arcade);
  EXPECT_EQ(g.launch, LaunchMode::soloOrMultiplayer);
  EXPECT_EQ(g.order, 2);
  ASSERT_TRUE(g.multiplayer);
  EXPECT_EQ(*g.multiplayer, (MultiplayerSpec{"Race a friend", "Alone", "Just you"}));
  ASSERT_EQ(g.controls.size(), 2u);
  EXPECT_EQ(g.controls[0].keys, "←↑→↓");
  EXPECT_EQ(g.controls[0].action, "Steer");
  EXPECT_EQ(g.controls[1].keys, "Space");
  EXPECT_EQ(g.card.gradient, (std::vector<std::string>{"#112233", "445566"}));
  EXPECT_EQ(g.card.glyph, (std::vector<std::string>{"#.#", ".#."}));
  EXPECT_EQ(g.card.palette, (std::map<std::string, std::string>{{".", "#ff0000"}}));
  EXPECT_EQ(g.bundleURL, std::nullopt);
  EXPECT_TRUE(g.isMultiplayer());
}

TEST(GameJsonTest, EachHintGetsAFreshUuid) {
  auto first = decodeGame(validRecord().dump());
  auto second = decodeGame(validRecord().dump());
  ASSERT_TRUE(first.ok() && second.ok());
  const std::regex uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> ids;
  for (const auto* game : {&first.value(), &second.value()}) {
    for (const ControlHint& hint : game->controls) {
      EXPECT_TRUE(std::regex_match(hint.id, uuid)) << hint.id;
      ids.insert(hint.id);
    }
  }
  EXPECT_EQ(ids.size(), 4u);
}

TEST(GameJsonTest, EnumerationStrings) {
  for (const GameSection section : kAllGameSections) {
    EXPECT_EQ(gameSectionNamed(jsonName(section)), section);
  }
  EXPECT_EQ(jsonName(GameSection::tabletop), "tabletop");
  EXPECT_EQ(jsonName(LaunchMode::multiplayerOnly), "multiplayerOnly");
  EXPECT_EQ(launchModeNamed("Solo"), std::nullopt);
  EXPECT_EQ(gameSectionNamed("Arcade"), std::nullopt);
}

// One change to the valid record, and whether the record still decodes.
struct RecordCase {
  const char* name;
  std::function<void(Json&)> change;
  bool decodes;
  std::function<void(const Game&)> check = [](const Game&) {};
};

class GameJsonRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(GameJsonRecordTest, DecodesOrRejects) {
  Json record = validRecord();
  GetParam().change(record);
  auto game = decodeGame(record.dump());
  ASSERT_EQ(game.ok(), GetParam().decodes) << record.dump();
  if (game.ok()) {
    GetParam().check(game.value());
  } else {
    EXPECT_FALSE(game.message().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GameJsonRecordTest,
    ::testing::Values(
        // Required keys.
        RecordCase{"MissingId", [](Json& r) { r.erase("id"); }, false},
        RecordCase{"MissingName", [](Json& r) { r.erase("name"); }, false},
        RecordCase{"MissingEntryFile", [](Json& r) { r.erase("entryFile"); }, false},
        RecordCase{"MissingSection", [](Json& r) { r.erase("section"); }, false},
        RecordCase{"MissingLaunch", [](Json& r) { r.erase("launch"); }, false},
        RecordCase{"MissingControls", [](Json& r) { r.erase("controls"); }, false},
        RecordCase{"MissingCard", [](Json& r) { r.erase("card"); }, false},
        RecordCase{"MissingGradient", [](Json& r) { r["card"].erase("gradient"); }, false},
        RecordCase{"MissingGlyph", [](Json& r) { r["card"].erase("glyph"); }, false},
        RecordCase{"MissingTagline", [](Json& r) { r["multiplayer"].erase("tagline"); }, false},
        RecordCase{"NullRequiredName", [](Json& r) { r["name"] = nullptr; }, false},
        RecordCase{"NullControls", [](Json& r) { r["controls"] = nullptr; }, false},
        // Keys match exactly.
        RecordCase{"KeyInOtherCase",
                   [](Json& r) {
                     r["EntryFile"] = r["entryFile"];
                     r.erase("entryFile");
                   },
                   false},
        // Wrong types.
        RecordCase{"NumericId", [](Json& r) { r["id"] = 7; }, false},
        RecordCase{"OrderAsString", [](Json& r) { r["order"] = "1"; }, false},
        RecordCase{"OrderFraction", [](Json& r) { r["order"] = 1.5; }, false},
        RecordCase{"OrderBoolean", [](Json& r) { r["order"] = true; }, false},
        RecordCase{"OrderTooLarge", [](Json& r) { r["order"] = 18446744073709551615ull; }, false},
        RecordCase{"ControlsObject", [](Json& r) { r["controls"] = Json::object(); }, false},
        RecordCase{"GradientString", [](Json& r) { r["card"]["gradient"] = "#fff"; }, false},
        RecordCase{"GlyphRowNumber", [](Json& r) { r["card"]["glyph"][1] = 3; }, false},
        RecordCase{"PaletteValueNumber", [](Json& r) { r["card"]["palette"]["."] = 255; }, false},
        RecordCase{"PaletteArray", [](Json& r) { r["card"]["palette"] = Json::array(); }, false},
        RecordCase{"MultiplayerString", [](Json& r) { r["multiplayer"] = "yes"; }, false},
        RecordCase{"SoloLabelNumber", [](Json& r) { r["multiplayer"]["soloLabel"] = 1; }, false},
        // Enumerations.
        RecordCase{"UnknownSection", [](Json& r) { r["section"] = "sports"; }, false},
        RecordCase{"SectionInOtherCase", [](Json& r) { r["section"] = "Puzzles"; }, false},
        RecordCase{"UnknownLaunch", [](Json& r) { r["launch"] = "coop"; }, false},
        RecordCase{"Studio", [](Json& r) { r["section"] = "studio"; }, true,
                   [](const Game& g) { EXPECT_EQ(g.section, GameSection::studio); }},
        RecordCase{"SoloOnly", [](Json& r) { r["launch"] = "solo"; }, true,
                   [](const Game& g) { EXPECT_FALSE(g.isMultiplayer()); }},
        RecordCase{"OnlineOnly", [](Json& r) { r["launch"] = "multiplayerOnly"; }, true,
                   [](const Game& g) { EXPECT_TRUE(g.isMultiplayer()); }},
        // Control hints.
        RecordCase{"NoControls", [](Json& r) { r["controls"] = Json::array(); }, true,
                   [](const Game& g) { EXPECT_TRUE(g.controls.empty()); }},
        RecordCase{"HintOfOne", [](Json& r) { r["controls"][0] = {"Space"}; }, false},
        RecordCase{"HintEmpty", [](Json& r) { r["controls"][0] = Json::array(); }, false},
        RecordCase{"HintAsObject",
                   [](Json& r) {
                     r["controls"][0] = {{"keys", "A"}, {"action", "B"}};
                   },
                   false},
        RecordCase{"HintSecondNotString",
                   [](Json& r) {
                     r["controls"][0] = {"A", 2};
                   },
                   false},
        RecordCase{"HintOfThree",
                   [](Json& r) { r["controls"] = Json::parse(R"([["A","Jump","extra"]])"); }, true,
                   [](const Game& g) {
                     ASSERT_EQ(g.controls.size(), 1u);
                     EXPECT_EQ(g.controls[0].keys, "A");
                     EXPECT_EQ(g.controls[0].action, "Jump");
                   }},
        RecordCase{"HintExtrasAreNotRead",
                   [](Json& r) { r["controls"] = Json::parse(R"([["A","Jump",{"x":1},null]])"); },
                   true},
        // Optional keys: absent or null.
        RecordCase{"NoOrder", [](Json& r) { r.erase("order"); }, true,
                   [](const Game& g) { EXPECT_EQ(g.order, std::nullopt); }},
        RecordCase{"NullOrder", [](Json& r) { r["order"] = nullptr; }, true,
                   [](const Game& g) { EXPECT_EQ(g.order, std::nullopt); }},
        RecordCase{"NegativeOrder", [](Json& r) { r["order"] = -3; }, true,
                   [](const Game& g) { EXPECT_EQ(g.order, -3); }},
        RecordCase{"WholeOrderWithFraction", [](Json& r) { r["order"] = 4.0; }, true,
                   [](const Game& g) { EXPECT_EQ(g.order, 4); }},
        RecordCase{"NullMultiplayer", [](Json& r) { r["multiplayer"] = nullptr; }, true,
                   [](const Game& g) { EXPECT_EQ(g.multiplayer, std::nullopt); }},
        RecordCase{"TaglineOnly",
                   [](Json& r) {
                     r["multiplayer"] = {{"tagline", "T"}, {"soloLabel", nullptr}};
                   },
                   true,
                   [](const Game& g) {
                     EXPECT_EQ(g.multiplayer, (MultiplayerSpec{"T", {}, {}}));
                   }},
        RecordCase{"NoPalette", [](Json& r) { r["card"].erase("palette"); }, true,
                   [](const Game& g) { EXPECT_EQ(g.card.palette, std::nullopt); }},
        RecordCase{"NullPalette", [](Json& r) { r["card"]["palette"] = nullptr; }, true,
                   [](const Game& g) { EXPECT_EQ(g.card.palette, std::nullopt); }},
        // Unknown keys are ignored, wherever they are.
        RecordCase{"UnknownKeys",
                   [](Json& r) {
                     r["bundleURL"] = "/elsewhere";
                     r["extra"] = {1, 2};
                     r["card"]["shine"] = true;
                     r["multiplayer"]["maxPlayers"] = 4;
                   },
                   true, [](const Game& g) { EXPECT_EQ(g.bundleURL, std::nullopt); }}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST(GameJsonTest, RecordMustBeAnObject) {
  EXPECT_FALSE(decodeGame("[]").ok());
  EXPECT_FALSE(decodeGame("\"snake\"").ok());
  EXPECT_FALSE(decodeGame("").ok());
  EXPECT_FALSE(decodeGame(validRecord().dump() + " trailing").ok());
}

TEST(GameJsonTest, TextMustBeUtf8) {
  Json record = validRecord();
  std::string text = record.dump();
  text.replace(text.find("Snake"), 5, "Sn\xFFke");
  EXPECT_FALSE(decodeGame(text).ok());
}

TEST(GameJsonTest, ANulByteIsNoEndOfText) {
  const std::string record = validRecord().dump();
  EXPECT_FALSE(decodeGame(record + std::string(1, '\0') + " trailing").ok());
  EXPECT_FALSE(decodeGame(record + std::string(1, '\0')).ok());
  EXPECT_FALSE(decodeCatalog("[" + record + "]" + std::string(1, '\0') + "]").ok());
}

// A number beyond a double's range fails the record (and its array) as text the decoder
// cannot read, wherever it stands, even where no key is read.
TEST(GameJsonTest, NumbersBeyondADoubleFailTheRecordWhereverTheyStand) {
  const std::vector<std::pair<const char*, std::function<void(Json&)>>> places = {
      {"ignored key", [](Json& r) { r["extra"] = "@"; }},
      {"order", [](Json& r) { r["order"] = "@"; }},
      {"unread hint element", [](Json& r) { r["controls"][0].push_back("@"); }},
      {"deep in an ignored key",
       [](Json& r) {
         r["card"]["shine"] = {{"x", {1, "@"}}};
       }},
  };
  for (const char* number : {"1e400", "-1e400", "1E+999"}) {
    for (const auto& [place, change] : places) {
      SCOPED_TRACE(std::string(number) + " in " + place);
      Json record = validRecord();
      change(record);
      std::string text = record.dump();
      text.replace(text.find("\"@\""), 3, number);

      const auto game = decodeGame(text);
      ASSERT_FALSE(game.ok());
      EXPECT_NE(game.message().find(number), std::string::npos) << game.message();
      const auto games = decodeCatalog("[" + validRecord().dump() + "," + text + "]");
      ASSERT_FALSE(games.ok());
      EXPECT_NE(games.message().find(number), std::string::npos) << games.message();
    }
  }
}

TEST(GameJsonCatalogTest, DecodesAnArrayInOrder) {
  Json second = validRecord();
  second["id"] = "tetra";
  auto games = decodeCatalog(Json::array({validRecord(), second}).dump());
  ASSERT_TRUE(games.ok()) << games.message();
  ASSERT_EQ(games.value().size(), 2u);
  EXPECT_EQ(games.value()[0].id, "snake");
  EXPECT_EQ(games.value()[1].id, "tetra");
  EXPECT_TRUE(decodeCatalog("[]").ok());
}

TEST(GameJsonCatalogTest, OneBadRecordFailsTheWholeArrayAndSaysWhere) {
  Json bad = validRecord();
  bad["section"] = "sports";
  auto games = decodeCatalog(Json::array({validRecord(), bad}).dump());
  ASSERT_FALSE(games.ok());
  EXPECT_NE(games.message().find("[1].section"), std::string::npos) << games.message();
  EXPECT_NE(games.message().find("sports"), std::string::npos) << games.message();
}

TEST(GameJsonCatalogTest, RejectsWhatIsNotAnArrayOfRecords) {
  EXPECT_FALSE(decodeCatalog(validRecord().dump()).ok());
  EXPECT_FALSE(decodeCatalog("[1]").ok());
  EXPECT_FALSE(decodeCatalog("[null]").ok());
  EXPECT_FALSE(decodeCatalog("not json").ok());
}

TEST(GameJsonCatalogTest, DeepNestingIsRejectedWithoutCrashing) {
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  EXPECT_FALSE(decodeCatalog(deep).ok());
  Json record = validRecord();
  std::string text = record.dump();
  text.insert(text.size() - 1, ",\"deep\":" + deep);
  EXPECT_TRUE(decodeGame(text).ok());
}

}  // namespace
}  // namespace deskplay::core
