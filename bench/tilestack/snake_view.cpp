#include "bench/tilestack/snake_view.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace deskplay::bench::snake {

namespace {

// Icon centres closer than this are the same grid line.
constexpr double kSameLine = 4;
// How far off its cell's centre an icon may be and still stand in it, in pitches.
constexpr double kOnGrid = 0.2;
// The head's recent cells kept for telling the snake from its food.
constexpr std::size_t kPathKept = 2000;

std::vector<double> gridLines(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::vector<double> lines;
  for (double value : values) {
    if (lines.empty() || value - lines.back() > kSameLine) lines.push_back(value);
  }
  return lines;
}

std::optional<Direction> directionOf(Cell from, Cell to) {
  const int columns = to.col - from.col;
  const int rows = to.row - from.row;
  if (columns == 0 && rows == -1) return Direction::up;
  if (columns == 0 && rows == 1) return Direction::down;
  if (columns == -1 && rows == 0) return Direction::left;
  if (columns == 1 && rows == 0) return Direction::right;
  return std::nullopt;
}

int distance(Cell a, Cell b) {
  return std::abs(a.col - b.col) + std::abs(a.row - b.row);
}

// The free cells reachable from `start` (itself free), not crossing `also`.
int roomFrom(const SnakeView& view, Cell start, const std::vector<Cell>& also) {
  const Board& board = view.board();
  std::vector<char> seen(static_cast<std::size_t>(board.cols() * board.rows()), 0);
  auto index = [&](Cell cell) {
    return static_cast<std::size_t>(cell.row * board.cols() + cell.col);
  };
  auto open = [&](Cell cell) {
    return !view.blocked(cell) && std::find(also.begin(), also.end(), cell) == also.end() &&
           seen[index(cell)] == 0;
  };
  if (!open(start)) return 0;
  std::vector<Cell> frontier{start};
  seen[index(start)] = 1;
  int count = 0;
  while (!frontier.empty()) {
    const Cell cell = frontier.back();
    frontier.pop_back();
    ++count;
    for (Direction way : {Direction::up, Direction::left, Direction::down, Direction::right}) {
      const Cell next = stepped(cell, way);
      if (open(next)) {
        seen[index(next)] = 1;
        frontier.push_back(next);
      }
    }
  }
  return count;
}

}  // namespace

Cell stepped(Cell cell, Direction direction) {
  switch (direction) {
    case Direction::up:
      return {cell.col, cell.row - 1};
    case Direction::left:
      return {cell.col - 1, cell.row};
    case Direction::down:
      return {cell.col, cell.row + 1};
    case Direction::right:
      return {cell.col + 1, cell.row};
  }
  return cell;
}

Direction opposite(Direction direction) {
  switch (direction) {
    case Direction::up:
      return Direction::down;
    case Direction::left:
      return Direction::right;
    case Direction::down:
      return Direction::up;
    case Direction::right:
      return Direction::left;
  }
  return direction;
}

std::int64_t arrowKeyCode(Direction direction) {
  switch (direction) {
    case Direction::up:
      return 126;
    case Direction::left:
      return 123;
    case Direction::down:
      return 125;
    case Direction::right:
      return 124;
  }
  return 126;
}

const char* nameOf(Direction direction) {
  switch (direction) {
    case Direction::up:
      return "up";
    case Direction::left:
      return "left";
    case Direction::down:
      return "down";
    case Direction::right:
      return "right";
  }
  return "?";
}

std::optional<Board> Board::around(const Snapshot& settled) {
  std::vector<double> xs;
  std::vector<double> ys;
  for (const TileIcon& tile : settled.tiles) {
    xs.push_back(tile.x);
    ys.push_back(tile.y);
  }
  const std::vector<double> columns = gridLines(xs);
  const std::vector<double> rows = gridLines(ys);
  if (columns.size() < 3 || rows.size() < 3) return std::nullopt;
  double pitch = columns[1] - columns[0];
  for (const std::vector<double>* lines : {&columns, &rows}) {
    for (std::size_t at = 1; at < lines->size(); ++at) {
      pitch = std::min(pitch, (*lines)[at] - (*lines)[at - 1]);
    }
  }
  Board board;
  board.left_ = columns.front();
  board.top_ = rows.front();
  board.pitch_ = pitch;
  board.cols_ = static_cast<int>(std::lround((columns.back() - columns.front()) / pitch)) - 1;
  board.rows_ = static_cast<int>(std::lround((rows.back() - rows.front()) / pitch)) - 1;
  if (board.cols_ < 1 || board.rows_ < 1) return std::nullopt;
  int walls = 0;
  for (const TileIcon& tile : settled.tiles) {
    const std::optional<Cell> cell = board.cellAt(tile.x, tile.y);
    if (!cell) return std::nullopt;
    if (!board.inside(*cell)) ++walls;
  }
  if (walls != board.wallCount()) return std::nullopt;
  return board;
}

std::optional<Cell> Board::cellAt(double x, double y) const {
  const double across = (x - left_) / pitch_;
  const double down = (y - top_) / pitch_;
  const double column = std::round(across);
  const double row = std::round(down);
  if (std::abs(across - column) > kOnGrid || std::abs(down - row) > kOnGrid) return std::nullopt;
  const Cell cell{static_cast<int>(column) - 1, static_cast<int>(row) - 1};
  if (cell.col < -1 || cell.col > cols_ || cell.row < -1 || cell.row > rows_) return std::nullopt;
  return cell;
}

bool Board::inside(Cell cell) const {
  return cell.col >= 0 && cell.col < cols_ && cell.row >= 0 && cell.row < rows_;
}

bool SnakeView::update(const Snapshot& snapshot) {
  std::map<std::string, Cell> now;
  for (const TileIcon& tile : snapshot.tiles) {
    if (const std::optional<Cell> cell = board_.cellAt(tile.x, tile.y)) now[tile.name] = *cell;
  }
  const bool first = cells_.empty();
  std::set<std::string> movers;
  for (const auto& [name, cell] : now) {
    const auto was = cells_.find(name);
    if (was == cells_.end() || was->second != cell) movers.insert(name);
  }
  auto stepOf = [&](const std::string& name) -> std::optional<Direction> {
    const auto was = cells_.find(name);
    if (was == cells_.end()) return std::nullopt;
    return directionOf(was->second, now.at(name));
  };

  std::optional<Direction> step;
  if (!head_.empty() && !now.contains(head_)) head_.clear();
  if (!first && !movers.empty()) {
    if (!head_.empty()) {
      if (movers.contains(head_)) {
        step = stepOf(head_);
        if (!step) {
          // The head went back to a new round's start.
          ++restarts_;
          headCell_ = now.at(head_);
          heading_.reset();
          path_.assign(1, headCell_);
          lastHeadStep_ = snapshot.at;
        }
      }
    } else {
      // The head is the one file that steps on every tick; the tail's file jumps to the neck.
      std::vector<std::string> candidates;
      for (const std::string& name : movers) {
        if (stepOf(name)) candidates.push_back(name);
      }
      if (candidates.size() > 1) {
        std::erase_if(candidates,
                      [&](const std::string& name) { return !lastMovers_.contains(name); });
      }
      if (candidates.size() == 1) {
        head_ = candidates.front();
        step = stepOf(head_);
        path_.clear();
      }
    }
    lastMovers_ = std::move(movers);
  }
  if (step) {
    headCell_ = now.at(head_);
    heading_ = *step;
    ++headSteps_;
    lastHeadStep_ = snapshot.at;
    path_.push_back(headCell_);
    if (path_.size() > kPathKept) path_.pop_front();
  }
  cells_ = std::move(now);
  occupied_.clear();
  for (const auto& [name, cell] : cells_) occupied_.insert(cell);
  food_ = findFood();
  return step.has_value();
}

std::size_t SnakeView::innerTileCount() const {
  return static_cast<std::size_t>(
      std::count_if(cells_.begin(), cells_.end(),
                    [&](const auto& entry) { return board_.inside(entry.second); }));
}

std::size_t SnakeView::snakeLength() const {
  const std::size_t inner = innerTileCount();
  return inner > 0 ? inner - 1 : 0;
}

bool SnakeView::blocked(Cell cell) const {
  return !board_.inside(cell) || (occupied_.contains(cell) && cell != food_);
}

std::optional<Cell> SnakeView::findFood() const {
  const std::size_t length = snakeLength();
  if (length == 0 || path_.size() < length) return std::nullopt;
  const std::set<Cell> snake(path_.end() - static_cast<std::ptrdiff_t>(length), path_.end());
  std::optional<Cell> found;
  for (const auto& [name, cell] : cells_) {
    if (!board_.inside(cell) || snake.contains(cell)) continue;
    if (found) return std::nullopt;
    found = cell;
  }
  return found;
}

std::optional<Direction> chooseTurn(const SnakeView& view, Direction heading) {
  const Cell head = view.headCell();
  const Cell ahead = stepped(head, heading);
  const bool aheadFree = !view.blocked(ahead);
  const std::optional<Cell> food = view.food();
  const Cell middle{view.board().cols() / 2, view.board().rows() / 2};
  const int needed = static_cast<int>(view.snakeLength()) + 2;
  const std::array<Direction, 2> sides = heading == Direction::up || heading == Direction::down
                                             ? std::array{Direction::left, Direction::right}
                                             : std::array{Direction::up, Direction::down};
  struct Side {
    Direction direction;
    int roomNow;    // free cells reachable once turned on the coming tick
    int roomLater;  // the same when the key misses that tick and the turn comes one cell on
    // How near the turn leads to the food and to the middle; whether two cells straight on
    // are free after it.
    int toFood;
    int toMiddle;
    bool straight;
  };
  std::vector<Side> options;
  for (Direction side : sides) {
    const Cell turnNow = stepped(head, side);
    const Cell turnLater = stepped(ahead, side);
    Side option{side,
                roomFrom(view, turnNow, {head}),
                aheadFree ? roomFrom(view, turnLater, {head, ahead}) : 0,
                food ? distance(turnNow, *food) : 0,
                distance(turnNow, middle),
                !view.blocked(turnNow) && !view.blocked(stepped(turnNow, side))};
    options.push_back(option);
  }
  auto better = [](const Side& a, const Side& b) {
    return std::tuple(-a.toFood, a.straight, -a.toMiddle) >
           std::tuple(-b.toFood, b.straight, -b.toMiddle);
  };
  auto best = [&](auto acceptable) -> std::optional<Direction> {
    std::optional<Side> chosen;
    for (const Side& option : options) {
      if (acceptable(option) && (!chosen || better(option, *chosen))) chosen = option;
    }
    if (!chosen) return std::nullopt;
    return chosen->direction;
  };
  // Room for the whole snake whenever the turn comes.
  if (auto safe = best([&](const Side& side) {
        return side.roomNow >= needed && (!aheadFree || side.roomLater >= needed);
      })) {
    return safe;
  }
  // Room only if the turn comes on the coming tick, as it nearly always does.
  if (auto soon = best([&](const Side& side) { return side.roomNow >= needed; })) return soon;
  // Room only one cell on: go there first.
  if (aheadFree && std::any_of(options.begin(), options.end(),
                               [&](const Side& side) { return side.roomLater >= needed; })) {
    return std::nullopt;
  }
  // Cornered: the most room there is.
  const Side& roomier = std::max(options[0].roomNow, options[0].roomLater) >=
                                std::max(options[1].roomNow, options[1].roomLater)
                            ? options[0]
                            : options[1];
  return roomier.direction;
}

}  // namespace deskplay::bench::snake
