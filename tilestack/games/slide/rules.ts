// The rules of the 15-puzzle as pure functions over a grid: the tiles 1 to 15 and a gap (0), row
// by row, four to a row.

export const side = 4;
export const gap = 0;

export type Grid = readonly number[];
export type Direction = 'left' | 'right' | 'up' | 'down';

export interface Spot {
  col: number;
  row: number;
}

const stepOf: Record<Direction, Spot> = {
  left: { col: -1, row: 0 },
  right: { col: 1, row: 0 },
  up: { col: 0, row: -1 },
  down: { col: 0, row: 1 },
};

const directions = Object.keys(stepOf) as Direction[];

const reverseOf: Record<Direction, Direction> = { left: 'right', right: 'left', up: 'down', down: 'up' };

export function solvedGrid(): Grid {
  return [...Array.from({ length: side * side - 1 }, (_, i) => i + 1), gap];
}

export function spotOf(grid: Grid, tile: number): Spot {
  const index = grid.indexOf(tile);
  if (index < 0) throw new Error(`tile ${tile} is not on the grid`);
  return { col: index % side, row: Math.floor(index / side) };
}

function inside(spot: Spot): boolean {
  return spot.col >= 0 && spot.col < side && spot.row >= 0 && spot.row < side;
}

function swap(grid: Grid, a: Spot, b: Spot): Grid {
  const next = [...grid];
  const ai = a.row * side + a.col;
  const bi = b.row * side + b.col;
  [next[ai], next[bi]] = [grid[bi] ?? gap, grid[ai] ?? gap];
  return next;
}

// Slides the tile at `spot` into the gap; null when the tile is not beside the gap.
export function slideTileAt(grid: Grid, spot: Spot): Grid | null {
  const hole = spotOf(grid, gap);
  const beside = Math.abs(hole.col - spot.col) + Math.abs(hole.row - spot.row) === 1;
  return beside && inside(spot) ? swap(grid, hole, spot) : null;
}

// An arrow moves the tile that lies behind the gap, seen from the arrow, into the gap; null when
// the gap is at that edge and there is no such tile.
export function slideToward(grid: Grid, direction: Direction): Grid | null {
  const hole = spotOf(grid, gap);
  const step = stepOf[direction];
  const tile = { col: hole.col - step.col, row: hole.row - step.row };
  return inside(tile) ? swap(grid, hole, tile) : null;
}

export function isSolved(grid: Grid): boolean {
  return grid.every((tile, i) => tile === (i === grid.length - 1 ? gap : i + 1));
}

// On a board of even width a position can be solved exactly when the number of inversions among
// the tiles plus the gap's row counted from the bottom (1 for the bottom row) is odd.
export function isSolvable(grid: Grid): boolean {
  const tiles = grid.filter((tile) => tile !== gap);
  let inversions = 0;
  for (let i = 0; i < tiles.length; i++) {
    for (let j = i + 1; j < tiles.length; j++) if ((tiles[i] ?? 0) > (tiles[j] ?? 0)) inversions++;
  }
  return (inversions + side - spotOf(grid, gap).row) % 2 === 1;
}

// Legal moves from the solved grid, so the result is always solvable, never undoing the move
// just made, and never ending solved.
export function shuffledGrid(random: () => number, moves = 200): Grid {
  let grid = solvedGrid();
  let last: Direction | null = null;
  for (let made = 0; made < moves || isSolved(grid); made++) {
    const options: { direction: Direction; grid: Grid }[] = [];
    for (const direction of directions) {
      const next = last !== null && direction === reverseOf[last] ? null : slideToward(grid, direction);
      if (next !== null) options.push({ direction, grid: next });
    }
    const chosen = options[Math.floor(random() * options.length)];
    if (chosen === undefined) throw new Error('a 4 × 4 grid always has a move');
    grid = chosen.grid;
    last = chosen.direction;
  }
  return grid;
}
