#include "core/catalog/card_art.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace deskplay::core {
namespace {

Game withGlyph(std::vector<std::string> rows,
               std::optional<std::map<std::string, std::string>> palette = std::nullopt) {
  Game game;
  game.card.glyph = std::move(rows);
  game.card.palette = std::move(palette);
  return game;
}

struct ColorCase {
  const char* text;
  CardColor expected;
};

class CardColorTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(CardColorTest, ReadsHexadecimalRgb) {
  EXPECT_EQ(cardColor(GetParam().text), GetParam().expected) << GetParam().text;
}

constexpr CardColor kBlack{0, 0, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    Cases, CardColorTest,
    ::testing::Values(ColorCase{"#ff8000", {1, 128.0 / 255.0, 0, 1}},
                      ColorCase{"ff8000", {1, 128.0 / 255.0, 0, 1}},
                      ColorCase{"##FF8000#", {1, 128.0 / 255.0, 0, 1}},
                      ColorCase{"#0000FF", {0, 0, 1, 1}},
                      // Only the low 24 bits are a colour.
                      ColorCase{"#12ff0000", {1, 0, 0, 1}},
                      // Short forms are numbers too: 0xfff is green 0x0f, blue 0xff.
                      ColorCase{"#fff", {0, 15.0 / 255.0, 1, 1}}, ColorCase{"#zzzzzz", kBlack},
                      ColorCase{"#ff80 0", kBlack}, ColorCase{"red", kBlack}, ColorCase{"", kBlack},
                      ColorCase{"###", kBlack}, ColorCase{"0x00ff00", kBlack},
                      ColorCase{"#f#f", kBlack}, ColorCase{"#11112222333344445", kBlack}));

TEST(CardArtTest, GradientColorsFollowTheEntriesInOrder) {
  Game game;
  game.card.gradient = {"#ff0000", "00ff00", "nope"};
  EXPECT_EQ(gradientColors(game),
            (std::vector<CardColor>{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 1}}));
}

TEST(CardArtTest, GlyphCellsInkPaletteAndTransparent) {
  const CardColor red{1, 0, 0, 1};
  const Game game = withGlyph(
      {"#r.", "", "rr#"}, std::map<std::string, std::string>{{"r", "ff0000"}, {"#", "#00ff00"}});
  const auto cells = glyphCells(game);
  ASSERT_EQ(cells.size(), 3u);
  // "#" stays ink even though the palette maps it.
  EXPECT_EQ(cells[0], (std::vector<std::optional<CardColor>>{kGlyphInk, red, std::nullopt}));
  EXPECT_TRUE(cells[1].empty());
  EXPECT_EQ(cells[2], (std::vector<std::optional<CardColor>>{red, red, kGlyphInk}));
}

TEST(CardArtTest, WithoutOrWithEmptyPaletteOnlyInkIsColoured) {
  for (const auto& palette :
       {std::optional<std::map<std::string, std::string>>(),
        std::optional<std::map<std::string, std::string>>(std::map<std::string, std::string>{})}) {
    const auto cells = glyphCells(withGlyph({"#a"}, palette));
    EXPECT_EQ(cells[0], (std::vector<std::optional<CardColor>>{kGlyphInk, std::nullopt}));
  }
}

TEST(CardArtTest, GlyphCharactersAreGraphemeClusters) {
  // "é" as e + combining acute, a flag of two regional indicators, a family emoji joined by
  // zero-width joiners: three cells, and the palette finds the accented letter written as
  // one code point.
  const std::string decomposedE = "e\xCC\x81";
  const std::string flag = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
  const std::string family =
      "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
  const Game game = withGlyph({decomposedE + flag + family},
                              std::map<std::string, std::string>{{"\xC3\xA9", "0000ff"}});
  const auto cells = glyphCells(game);
  ASSERT_EQ(cells[0].size(), 3u);
  EXPECT_EQ(cells[0][0], (CardColor{0, 0, 1, 1}));
  EXPECT_EQ(cells[0][1], std::nullopt);
  EXPECT_EQ(graphemeClusters(decomposedE + flag + family),
            (std::vector<std::string>{decomposedE, flag, family}));
  EXPECT_EQ(graphemeClusters("a\r\nb"), (std::vector<std::string>{"a", "\r\n", "b"}));
  EXPECT_EQ(graphemeClusters("a\xFF\xCC\x81"), (std::vector<std::string>{"a", "\xFF", "\xCC\x81"}));
}

struct WideCase {
  const char* name;
  std::vector<std::string> rows;
  bool wide;
};

class WideGlyphTest : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideGlyphTest, LongestRowAgainstTwiceTheRows) {
  EXPECT_EQ(isWideGlyph(withGlyph(GetParam().rows)), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideGlyphTest,
    ::testing::Values(WideCase{"TwoRowsFive", {"#####", "#"}, true},
                      WideCase{"ThreeRowsSix", {"######", "#", ""}, false},
                      WideCase{"TwoRowsFour", {"####", "####"}, false},
                      WideCase{"NoRows", {}, false}, WideCase{"OneEmptyRow", {""}, false},
                      WideCase{"OneRowThree", {"###"}, true},
                      // Five characters, but far more bytes and code points.
                      WideCase{"ClustersCounted",
                               {"e\xCC\x81\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"
                                "e\xCC\x81\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xC3\xA9",
                                ""},
                               true},
                      WideCase{
                          "ClustersNotBytes",
                          {"\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", "#"},
                          false}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
}  // namespace deskplay::core
