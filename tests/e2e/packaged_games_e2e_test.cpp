// Each demo game played through the application as built, on simdesk: the tiles appear on the
// Desktop and on screen, the person's keys or clicks change the board as the rules say, the
// stop hotkey ends the game cleanly, and the Desktop holds exactly what it held before.
#include <gtest/gtest.h>
#include <signal.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <set>

#include "deskplay/app/process_watch.hpp"
#include "played_desktop.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kRightArrow = 124;
constexpr int kUpArrow = 126;
constexpr int kReturn = 36;

class PackagedGames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desk_.start({"TILESTACK_SEED=7"})) << desk_.failure;
    entriesBefore_ = desk_.userEntries();
    settingsBefore_ = desk_.viewSettings();
  }

  // Starts `game` and waits until its board is on the Desktop with at least `tiles` tiles.
  void play(const std::string& game, std::size_t tiles) {
    const Completed started = desk_.deskplay({"play", game});
    ASSERT_EQ(started.status, 0) << started.errors;
    ASSERT_TRUE(eventually([&] {
      return desk_.tiles().size() >= tiles || desk_.status().value("session", "") != "running";
    }));
    ASSERT_GE(desk_.tiles().size(), tiles) << "the board never appeared; game log:\n"
                                           << desk_.gameLogText();
    EXPECT_TRUE(desk_.userIcons().empty()) << "the person's own icons stayed during the game";
  }

  // The tiles are drawn: at each tile's centre the screen shows something other than what
  // it shows there once the game is over. The screenshot counts once the board is still, the
  // same tiles in the same places before and after it.
  void expectTilesOnScreen(const std::string& name) {
    const auto sorted = [](std::vector<DesktopIcon> icons) {
      std::sort(icons.begin(), icons.end(),
                [](const DesktopIcon& a, const DesktopIcon& b) { return a.name < b.name; });
      return icons;
    };
    ASSERT_TRUE(eventually([&] {
      const std::vector<DesktopIcon> before = sorted(desk_.tiles());
      duringShot_ = QImage(QString::fromStdString(desk_.screenshot(name + "-playing").string()));
      duringTiles_ = sorted(desk_.tiles());
      return !duringShot_.isNull() && !before.empty() && before == duringTiles_;
    })) << "the board never stood still for a screenshot";
  }

  // The stop hotkey ends the game; the session ends cleanly and the Desktop is as before.
  void stopWithHotkeyAndCheckDesktop(const std::string& name) {
    desk_.pressStopHotkey();
    ASSERT_TRUE(eventually([&] { return desk_.status().value("session", "") == "idle"; }))
        << "the game did not end; game log:\n"
        << desk_.gameLogText();
    const nlohmann::json status = desk_.status();
    EXPECT_TRUE(status["lastError"].is_null()) << status.dump() << "\n" << desk_.gameLogText();
    EXPECT_TRUE(status["currentGame"].is_null());
    expectDesktopAsBefore();

    const QImage after(QString::fromStdString(desk_.screenshot(name + "-after").string()));
    ASSERT_FALSE(after.isNull());
    int drawn = 0;
    for (const DesktopIcon& tile : duringTiles_) {
      const QPoint centre(static_cast<int>(tile.x), static_cast<int>(tile.y));
      if (!after.rect().contains(centre)) continue;
      if (duringShot_.pixel(centre) != after.pixel(centre)) ++drawn;
    }
    EXPECT_GE(drawn, static_cast<int>(duringTiles_.size()) / 2)
        << "tiles were not visible on the screen during the game";
  }

  void expectDesktopAsBefore() {
    EXPECT_TRUE(eventually([&] { return desk_.tiles().empty(); })) << "tiles were left behind";
    EXPECT_EQ(desk_.userEntries(), entriesBefore_);
    EXPECT_FALSE(fs::exists(desk_.home() / ".deskplay-stash"));
    std::set<std::string> names;
    for (const DesktopIcon& icon : desk_.userIcons()) names.insert(icon.name);
    EXPECT_EQ(names, (std::set<std::string>{"Projects", "notes.txt", "todo.md"}));
    EXPECT_EQ(desk_.viewSettings(), settingsBefore_);
  }

  PlayedDesktop desk_{builtBundle() / "Contents/MacOS/Deskplay"};
  std::map<std::string, std::string> entriesBefore_;
  nlohmann::json settingsBefore_;
  std::vector<DesktopIcon> duringTiles_;
  QImage duringShot_;
};

std::map<std::string, DesktopIcon> byName(const std::vector<DesktopIcon>& icons) {
  std::map<std::string, DesktopIcon> named;
  for (const DesktopIcon& icon : icons) named[icon.name] = icon;
  return named;
}

TEST_F(PackagedGames, SnakeTurnsUpOnTheUpArrowAndStopsCleanly) {
  ASSERT_NO_FATAL_FAILURE(play("snake", 4));
  ASSERT_NO_FATAL_FAILURE(expectTilesOnScreen("snake"));
  // The snake waits for the first arrow key.
  desk_.pressKey(kRightArrow);

  // The snake's own tiles are the ones that keep moving while it crawls; walls are placed
  // once and the food waits.
  std::map<std::string, DesktopIcon> last = byName(desk_.tiles());
  std::map<std::string, int> moves;
  std::set<std::string> snake;
  ASSERT_TRUE(eventually([&] {
    const std::map<std::string, DesktopIcon> now = byName(desk_.tiles());
    for (const auto& [name, icon] : now) {
      const auto was = last.find(name);
      if (was != last.end() && !(was->second == icon) && ++moves[name] >= 2) snake.insert(name);
    }
    last = now;
    return snake.size() >= 2;
  })) << "the snake never moved";

  double row = 0;
  for (const auto& [name, icon] : byName(desk_.tiles())) {
    if (snake.contains(name)) row = icon.y;
  }
  desk_.pressKey(kUpArrow);
  EXPECT_TRUE(eventually([&] {
    for (const auto& [name, icon] : byName(desk_.tiles())) {
      if (snake.contains(name) && icon.y < row - 8) return true;
    }
    return false;
  })) << "the snake did not turn up";

  stopWithHotkeyAndCheckDesktop("snake");
}

// The 15-puzzle: the cell of the 4×4 grid that no tile covers.
struct Grid {
  std::vector<double> xs;
  std::vector<double> ys;
};

std::vector<double> distinct(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::vector<double> kept;
  for (double value : values) {
    if (kept.empty() || value - kept.back() > 4) kept.push_back(value);
  }
  return kept;
}

TEST_F(PackagedGames, SlideMovesAClickedTileIntoTheGapAndStopsCleanly) {
  ASSERT_NO_FATAL_FAILURE(play("slide", 15));
  ASSERT_TRUE(eventually([&] {
    const std::vector<DesktopIcon> tiles = desk_.tiles();
    std::vector<double> xs, ys;
    for (const DesktopIcon& tile : tiles) {
      xs.push_back(tile.x);
      ys.push_back(tile.y);
    }
    return tiles.size() == 15 && distinct(xs).size() == 4 && distinct(ys).size() == 4;
  })) << "the board did not settle into 4×4";
  ASSERT_NO_FATAL_FAILURE(expectTilesOnScreen("slide"));

  const std::vector<DesktopIcon> tiles = desk_.tiles();
  std::vector<double> allX, allY;
  for (const DesktopIcon& tile : tiles) {
    allX.push_back(tile.x);
    allY.push_back(tile.y);
  }
  const std::vector<double> xs = distinct(allX);
  const std::vector<double> ys = distinct(allY);
  auto covered = [&](double x, double y) {
    return std::any_of(tiles.begin(), tiles.end(), [&](const DesktopIcon& tile) {
      return std::abs(tile.x - x) < 4 && std::abs(tile.y - y) < 4;
    });
  };
  std::optional<std::pair<std::size_t, std::size_t>> gap;
  for (std::size_t column = 0; column < 4; ++column) {
    for (std::size_t row = 0; row < 4; ++row) {
      if (!covered(xs[column], ys[row])) gap = {column, row};
    }
  }
  ASSERT_TRUE(gap);
  // A tile beside the gap: the one left of it, or right of it at the left edge.
  const std::size_t column = gap->first > 0 ? gap->first - 1 : gap->first + 1;
  const DesktopIcon* neighbour = nullptr;
  for (const DesktopIcon& tile : tiles) {
    if (std::abs(tile.x - xs[column]) < 4 && std::abs(tile.y - ys[gap->second]) < 4) {
      neighbour = &tile;
    }
  }
  ASSERT_NE(neighbour, nullptr);
  const std::string moved = neighbour->name;
  desk_.click(neighbour->x, neighbour->y);
  EXPECT_TRUE(eventually([&] {
    const auto now = byName(desk_.tiles());
    const auto tile = now.find(moved);
    return tile != now.end() && std::abs(tile->second.x - xs[gap->first]) < 2 &&
           std::abs(tile->second.y - ys[gap->second]) < 2;
  })) << "the clicked tile did not slide into the gap";

  stopWithHotkeyAndCheckDesktop("slide");
}

// The highest icon on the screen: in four, the next disc held above the board.
DesktopIcon topmost(const std::vector<DesktopIcon>& icons) {
  return *std::min_element(icons.begin(), icons.end(),
                           [](const DesktopIcon& a, const DesktopIcon& b) { return a.y < b.y; });
}

TEST_F(PackagedGames, FourDropsADiscOnReturnAndTheComputerAnswers) {
  // The 7 × 6 board's holes and the disc held above it.
  ASSERT_NO_FATAL_FAILURE(play("four", 43));
  ASSERT_NO_FATAL_FAILURE(expectTilesOnScreen("four"));
  const std::vector<DesktopIcon> board = desk_.tiles();
  const DesktopIcon held = topmost(board);
  double bottom = 0;
  for (const DesktopIcon& icon : board) bottom = std::max(bottom, icon.y);

  desk_.pressKey(kReturn);
  // The held disc falls to the bottom row of its empty column, and the computer's disc,
  // held above the board in its turn, falls into the board too.
  EXPECT_TRUE(eventually([&] {
    const auto now = byName(desk_.tiles());
    const auto dropped = now.find(held.name);
    return dropped != now.end() && std::abs(dropped->second.y - bottom) < 2;
  })) << "the disc did not fall to the bottom row";
  EXPECT_TRUE(eventually([&] {
    int discsInBoard = 0;
    for (const auto& [name, icon] : byName(desk_.tiles())) {
      const bool wasHole = std::any_of(board.begin(), board.end(),
                                       [&](const DesktopIcon& hole) { return hole.name == name; });
      if ((!wasHole || name == held.name) && icon.y > held.y + 8) ++discsInBoard;
    }
    return discsInBoard >= 2;
  })) << "the computer did not answer";

  stopWithHotkeyAndCheckDesktop("four");
}

TEST_F(PackagedGames, AnEngineKilledMidGameIsPutRightByRestore) {
  ASSERT_NO_FATAL_FAILURE(play("snake", 4));
  std::optional<pid_t> engine;
  ASSERT_TRUE(eventually([&] { return (engine = desk_.enginePid()).has_value(); }));
  ASSERT_EQ(::kill(*engine, SIGKILL), 0);

  ASSERT_TRUE(eventually([&] { return desk_.status().value("session", "") == "needsAttention"; }))
      << desk_.status().dump();
  const Completed restored = desk_.deskplay({"restore"});
  EXPECT_EQ(restored.status, 0) << restored.errors << "\napplication log:\n"
                                << readFile(desk_.applicationLog()) << "\ngame log:\n"
                                << desk_.gameLogText();
  EXPECT_TRUE(eventually([&] { return desk_.status().value("session", "") == "idle"; }));
  EXPECT_TRUE(desk_.status()["lastError"].is_null()) << desk_.status().dump();
  EXPECT_TRUE(eventually([&] { return desk_.tiles().empty(); }))
      << "tiles were left behind\napplication log:\n"
      << readFile(desk_.applicationLog()) << "\ngame log:\n"
      << desk_.gameLogText();
  EXPECT_EQ(desk_.userEntries(), entriesBefore_);
  EXPECT_FALSE(fs::exists(desk_.home() / ".deskplay-stash"));
}

TEST_F(PackagedGames, AnEngineLeftByAKilledDeskplayEndsBeforeTheDesktopComesBack) {
  ASSERT_NO_FATAL_FAILURE(play("snake", 4));
  std::optional<pid_t> engine;
  ASSERT_TRUE(eventually([&] { return (engine = desk_.enginePid()).has_value(); }));
  ProcessReaper reaper;
  reaper.group(*engine);

  ASSERT_EQ(desk_.stopDeskplay(SIGKILL), 128 + SIGKILL);
  // Nothing ended the game: it goes on drawing on a Desktop whose own entries are stashed.
  ASSERT_TRUE(processRuns(*engine));
  EXPECT_FALSE(desk_.tiles().empty());
  EXPECT_TRUE(desk_.userEntries().empty());

  // Deskplay is ready once its start-up is done: by then the engine has ended, and the
  // Desktop is back as it was.
  ASSERT_TRUE(desk_.restartDeskplay({"TILESTACK_SEED=7"})) << desk_.failure;
  EXPECT_FALSE(processRuns(*engine));
  const std::string log = readFile(desk_.applicationLog());
  const auto ending = log.find("start-up: the engine of an earlier run still runs (process group " +
                               std::to_string(*engine) + ")");
  EXPECT_NE(ending, std::string::npos) << log;
  EXPECT_NE(log.find("engine: process group " + std::to_string(*engine) + " ended", ending),
            std::string::npos)
      << log;
  const nlohmann::json status = desk_.status();
  EXPECT_EQ(status["session"], "idle") << status.dump();
  EXPECT_TRUE(status["lastError"].is_null()) << status.dump();
  expectDesktopAsBefore();
}

}  // namespace
}  // namespace deskplay::testing
