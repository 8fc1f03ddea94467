// The rules of four in a row as pure functions over a grid: seven columns of six cells, row 0 at
// the top, discs dropped into a column landing on the lowest empty cell.

export const cols = 7;
export const rows = 6;
export const lineLength = 4;

export type Player = 1 | 2;
export type Disc = Player | 0;
export type Grid = readonly Disc[];

export interface Spot {
  col: number;
  row: number;
}

// Right, down, down-right, up-right: each line is found by walking both ways along one of them.
const lineDirections: readonly Spot[] = [
  { col: 1, row: 0 },
  { col: 0, row: 1 },
  { col: 1, row: 1 },
  { col: 1, row: -1 },
];

export function emptyGrid(): Grid {
  return Array.from({ length: cols * rows }, () => 0);
}

export function other(player: Player): Player {
  return player === 1 ? 2 : 1;
}

function discAt(grid: Grid, col: number, row: number): Disc {
  return col < 0 || col >= cols || row < 0 || row >= rows ? 0 : (grid[row * cols + col] ?? 0);
}

// The row a disc dropped into `col` lands on, or null when the column is full or off the board.
export function landingRow(grid: Grid, col: number): number | null {
  if (!Number.isInteger(col) || col < 0 || col >= cols) return null;
  for (let row = rows - 1; row >= 0; row--) if (discAt(grid, col, row) === 0) return row;
  return null;
}

export function drop(grid: Grid, col: number, player: Player): { grid: Grid; row: number } | null {
  const row = landingRow(grid, col);
  if (row === null) return null;
  const next = [...grid];
  next[row * cols + col] = player;
  return { grid: next, row };
}

// The discs of the player at `col`, `row` that run on from it in one direction.
function runFrom(grid: Grid, col: number, row: number, step: Spot): Spot[] {
  const player = discAt(grid, col, row);
  const run: Spot[] = [];
  for (let c = col + step.col, r = row + step.row; player !== 0 && discAt(grid, c, r) === player; c += step.col, r += step.row) {
    run.push({ col: c, row: r });
  }
  return run;
}

function lineAlong(grid: Grid, col: number, row: number, step: Spot): Spot[] {
  const back = { col: -step.col, row: -step.row };
  return [...runFrom(grid, col, row, back), { col, row }, ...runFrom(grid, col, row, step)];
}

// How many discs of the player at `col`, `row` run on from it in one direction. Counted without
// building the run: the computer player asks this at every position it searches.
function runLength(grid: Grid, col: number, row: number, stepCol: number, stepRow: number): number {
  const player = discAt(grid, col, row);
  let length = 0;
  for (let c = col + stepCol, r = row + stepRow; player !== 0 && discAt(grid, c, r) === player; c += stepCol, r += stepRow) length++;
  return length;
}

// Whether the disc at `col`, `row` is part of a line of four or more.
export function completesLine(grid: Grid, col: number, row: number): boolean {
  if (discAt(grid, col, row) === 0) return false;
  for (const step of lineDirections) {
    const length = 1 + runLength(grid, col, row, step.col, step.row) + runLength(grid, col, row, -step.col, -step.row);
    if (length >= lineLength) return true;
  }
  return false;
}

// Every disc of the lines of four or more through the disc at `col`, `row` (two lines can cross
// there), or none.
export function winningSpots(grid: Grid, col: number, row: number): Spot[] {
  if (discAt(grid, col, row) === 0) return [];
  const spots = new Map<string, Spot>();
  for (const step of lineDirections) {
    const line = lineAlong(grid, col, row, step);
    if (line.length >= lineLength) for (const spot of line) spots.set(`${spot.col},${spot.row}`, spot);
  }
  return [...spots.values()].sort((a, b) => a.col - b.col || a.row - b.row);
}

export function isFull(grid: Grid): boolean {
  return grid.every((disc) => disc !== 0);
}
