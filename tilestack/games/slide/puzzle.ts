// One game of the puzzle, as the engine keeps it between ticks.

import type { Grid } from './rules.ts';

export interface Puzzle {
  grid: Grid;
  // Ticks since the puzzle was solved; null while it is not.
  solvedTicks: number | null;
}
