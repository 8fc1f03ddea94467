// The computer player: a negamax search with alpha-beta pruning over the next plies, scoring the
// positions it reaches by the open lines each side could still complete. Equally good columns
// are chosen between by the random source, so a seed fixes its play.

import { cols, completesLine, landingRow, lineLength, other, rows, type Disc, type Grid, type Player } from './board.ts';

// Deep enough to see a trap two moves off, quick enough to answer within a tick or two.
const searchDepth = 7;

const winScore = 1_000_000;
// Centre columns first: they are usually best, which lets the pruning cut more.
const searchOrder = [3, 2, 4, 1, 5, 0, 6];

// Every run of four cells on the board, as indices into the grid.
const windows: readonly (readonly number[])[] = (() => {
  const found: number[][] = [];
  const steps = [
    [1, 0],
    [0, 1],
    [1, 1],
    [1, -1],
  ] as const;
  for (let row = 0; row < rows; row++) {
    for (let col = 0; col < cols; col++) {
      for (const [dc, dr] of steps) {
        const endCol = col + dc * (lineLength - 1);
        const endRow = row + dr * (lineLength - 1);
        if (endCol < 0 || endCol >= cols || endRow < 0 || endRow >= rows) continue;
        found.push(Array.from({ length: lineLength }, (_, i) => (row + dr * i) * cols + col + dc * i));
      }
    }
  }
  return found;
})();

// A window held by one side only is worth more the fuller it is; the centre column takes part
// in the most lines.
function windowValue(mine: number, theirs: number): number {
  if (mine > 0 && theirs > 0) return 0;
  const weights = [0, 1, 4, 16];
  return mine > 0 ? (weights[mine] ?? 0) : -(weights[theirs] ?? 0) * 1.25;
}

function evaluate(grid: Grid, player: Player): number {
  let score = 0;
  for (const window of windows) {
    let mine = 0;
    let theirs = 0;
    for (const index of window) {
      const disc = grid[index];
      if (disc === player) mine++;
      else if (disc !== 0) theirs++;
    }
    score += windowValue(mine, theirs);
  }
  for (let row = 0; row < rows; row++) {
    const disc = grid[row * cols + 3];
    if (disc === player) score += 3;
    else if (disc !== 0) score -= 3;
  }
  return Math.round(score * 4);
}

// Whether `player` can complete a line with one disc: worth checking before any search, since
// it settles the position at once.
function winsAtOnce(cells: Disc[], player: Player): boolean {
  for (const col of searchOrder) {
    const row = landingRow(cells, col);
    if (row === null) continue;
    const index = row * cols + col;
    cells[index] = player;
    const wins = completesLine(cells, col, row);
    cells[index] = 0;
    if (wins) return true;
  }
  return false;
}

// The value of the position for `player`, who is to move. A win found sooner scores higher.
function negamax(cells: Disc[], player: Player, depth: number, alpha: number, beta: number): number {
  if (depth === 0) return evaluate(cells, player);
  if (winsAtOnce(cells, player)) return winScore + depth;
  let best = -Infinity;
  for (const col of searchOrder) {
    const row = landingRow(cells, col);
    if (row === null) continue;
    const index = row * cols + col;
    cells[index] = player;
    const score = -negamax(cells, other(player), depth - 1, -beta, -alpha);
    cells[index] = 0;
    if (score > best) best = score;
    if (best > alpha) alpha = best;
    if (alpha >= beta) break;
  }
  // No column left: the board is full, a draw.
  return best === -Infinity ? 0 : best;
}

// The column `player` drops into next; null when the board is full.
export function chooseColumn(grid: Grid, player: Player, random: () => number, depth = searchDepth): number | null {
  const cells = [...grid];
  let best = -Infinity;
  let candidates: number[] = [];
  for (const col of searchOrder) {
    const row = landingRow(cells, col);
    if (row === null) continue;
    const index = row * cols + col;
    cells[index] = player;
    // Searching above best - 1 keeps scores equal to the best exact, so ties are all seen.
    const score = completesLine(cells, col, row) ? winScore + depth : -negamax(cells, other(player), depth - 1, -Infinity, -(best - 1));
    cells[index] = 0;
    if (score > best) {
      best = score;
      candidates = [col];
    } else if (score === best) {
      candidates.push(col);
    }
  }
  return candidates[Math.floor(random() * candidates.length)] ?? null;
}
