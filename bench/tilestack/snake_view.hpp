#pragma once

// What the snake benchmark knows of a game in progress, read from Finder's icon positions
// alone: the board (walls and cells), which tile file is the snake's head and where it went
// last, where the food probably is, and which way to turn next without running into anything.

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace deskplay::bench::snake {

using Clock = std::chrono::steady_clock;

// A tile's Desktop item as Finder's model shows it: its name and its icon's centre.
struct TileIcon {
  std::string name;
  double x = 0;
  double y = 0;
};

// The tiles of one look at Finder's model.
struct Snapshot {
  std::vector<TileIcon> tiles;
  Clock::time_point at;
};

struct Cell {
  int col = 0;
  int row = 0;
  bool operator==(const Cell&) const = default;
  auto operator<=>(const Cell&) const = default;
};

enum class Direction { up, left, down, right };

Cell stepped(Cell cell, Direction direction);
Direction opposite(Direction direction);
// The arrow key's virtual key code (126 up, 123 left, 125 down, 124 right).
std::int64_t arrowKeyCode(Direction direction);
const char* nameOf(Direction direction);

// The board as the walls draw it: a ring of tiles one pitch apart around cols × rows cells.
// Cell (0, 0) is the top-left cell inside the ring; the walls are at column -1 and cols, and
// at row -1 and rows.
class Board {
 public:
  // The board around the tiles of a settled first drawing (the walls and the waiting snake);
  // nothing when they form no ring.
  static std::optional<Board> around(const Snapshot& settled);

  int cols() const { return cols_; }
  int rows() const { return rows_; }
  double pitch() const { return pitch_; }
  int wallCount() const { return 2 * (cols_ + 2) + 2 * rows_; }
  // The cell under an icon centre (walls included); nothing off the grid, for example a new
  // file Finder placed before the game positioned it.
  std::optional<Cell> cellAt(double x, double y) const;
  bool inside(Cell cell) const;

 private:
  double left_ = 0;  // the centre of the ring's top-left tile
  double top_ = 0;
  double pitch_ = 0;
  int cols_ = 0;
  int rows_ = 0;
};

// The game as its tiles move: fed every snapshot, it keeps the head's file and cell, the
// direction and time of the head's last step, and the tiles' cells.
class SnakeView {
 public:
  explicit SnakeView(Board board) : board_(board) {}

  // Takes a new look; true when the head stepped one cell since the last one.
  bool update(const Snapshot& snapshot);

  const Board& board() const { return board_; }
  bool headKnown() const { return !head_.empty(); }
  Cell headCell() const { return headCell_; }
  // The way the head stepped last; nothing right after a new round put it back.
  std::optional<Direction> heading() const { return heading_; }
  // Counts the head's one-cell steps so far, and when the last one was seen.
  std::uint64_t headSteps() const { return headSteps_; }
  Clock::time_point lastHeadStep() const { return lastHeadStep_; }
  // Counts the times the head was put back to a new round's start.
  std::uint64_t restarts() const { return restarts_; }

  std::size_t tileCount() const { return cells_.size(); }
  // Tiles on the board inside the walls: the snake and its food.
  std::size_t innerTileCount() const;
  // The snake's length as the tiles tell it (every inner tile but the food).
  std::size_t snakeLength() const;
  // Outside the board, or taken by a tile other than the food.
  bool blocked(Cell cell) const;
  // The food's cell, when the head's recent path tells the snake's cells from it.
  std::optional<Cell> food() const { return food_; }

 private:
  std::optional<Cell> findFood() const;

  Board board_;
  std::map<std::string, Cell> cells_;
  std::set<Cell> occupied_;
  std::set<std::string> lastMovers_;
  std::string head_;
  Cell headCell_;
  std::optional<Direction> heading_;
  std::uint64_t headSteps_ = 0;
  std::uint64_t restarts_ = 0;
  Clock::time_point lastHeadStep_ = Clock::now();
  // The head's cells this round, newest last: the snake lies on the last `length` of them.
  std::deque<Cell> path_;
  std::optional<Cell> food_;
};

// The next turn for a snake heading `heading`: one of the two perpendicular arrows, so that the
// key always changes the snake's way. Of the sides with room for the whole snake (whether the
// turn comes on the coming tick or, when the key misses it, one cell on) it takes the one
// nearer the food, then the one with two free cells straight on, then the one nearer the
// middle. Nothing when only one cell on is there room: the key should wait for that step.
std::optional<Direction> chooseTurn(const SnakeView& view, Direction heading);

}  // namespace deskplay::bench::snake
