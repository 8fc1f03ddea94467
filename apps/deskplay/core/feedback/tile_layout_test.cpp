#include "core/feedback/tile_layout.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace deskplay::core {
namespace {

platform::Screen screenOf(double width, double height) {
  return platform::Screen{platform::Rect{{0, 0}, {width, height}},
                          platform::Rect{{0, 0}, {width, height}}};
}

std::vector<SessionTile> tilesNamed(const std::vector<std::string>& paths) {
  std::vector<SessionTile> tiles;
  for (const std::string& path : paths) tiles.push_back(SessionTile{path, "loading", 0, "1", "2"});
  return tiles;
}

struct RowCase {
  std::string name;
  int count;
  std::int32_t icon;
  double width;
  double height;
  std::vector<std::int64_t> xs;
  std::int64_t y;
};

// Test names in the output, not bytes.
void PrintTo(const RowCase& c, std::ostream* os) {
  *os << c.name;
}

class TileRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(TileRowTest, CentresTheRowAndTruncates) {
  const RowCase& c = GetParam();
  std::vector<std::string> paths;
  for (int i = 0; i < c.count; ++i) paths.push_back("/d/" + std::to_string(i));

  const std::vector<TilePlacement> placed =
      lineUpTiles(tilesNamed(paths), c.icon, screenOf(c.width, c.height));

  ASSERT_EQ(placed.size(), c.xs.size());
  for (std::size_t i = 0; i < placed.size(); ++i) {
    EXPECT_EQ(placed[i].path, paths[i]);
    EXPECT_EQ(placed[i].x, c.xs[i]) << "tile " << i;
    EXPECT_EQ(placed[i].y, c.y);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TileRowTest,
    ::testing::Values(
        // 720 ∓ 33.28.
        RowCase{"ThreeOnAWideScreen", 3, 64, 1440, 900, {686, 720, 753}, 450},
        RowCase{"OneInTheMiddle", 1, 64, 1440, 900, {720}, 450},
        // 720 ∓ 12.48; an odd height halves to a fraction that is cut off.
        RowCase{"TwoStraddleTheMiddle", 2, 48, 1440, 901, {707, 732}, 450},
        // Left of the screen's edge the cut goes towards zero: −28.28 gives −28.
        RowCase{"TruncatesTowardsZero", 3, 64, 10, 20, {-28, 5, 38}, 10},
        RowCase{"NoIconSize", 3, 0, 1440, 900, {720, 720, 720}, 450}),
    [](const ::testing::TestParamInfo<RowCase>& param) { return param.param.name; });

TEST(AppleScriptEscapeTest, DoublesBackslashesAndEscapesQuotes) {
  EXPECT_EQ(escapeAppleScript("plain"), "plain");
  EXPECT_EQ(escapeAppleScript(R"(a"b)"), R"(a\"b)");
  EXPECT_EQ(escapeAppleScript(R"(a\b)"), R"(a\\b)");
  EXPECT_EQ(escapeAppleScript(R"(\")"), R"(\\\")");
}

TEST(DesktopPositionScriptTest, MovesEveryTileInOneFinderBlock) {
  EXPECT_EQ(desktopPositionScript({TilePlacement{"/d/a", 686, 450}}),
            "tell application \"Finder\"\n"
            "set desktop position of (POSIX file \"/d/a\" as alias) to {686, 450}\n"
            "end tell");
  EXPECT_EQ(
      desktopPositionScript({TilePlacement{"/d/\"q\"", -28, 10}, TilePlacement{"/d/b\\s", 5, 10}}),
      "tell application \"Finder\"\n"
      "set desktop position of (POSIX file \"/d/\\\"q\\\"\" as alias) to {-28, 10}\n"
      "set desktop position of (POSIX file \"/d/b\\\\s\" as alias) to {5, 10}\n"
      "end tell");
}

}  // namespace
}  // namespace deskplay::core
