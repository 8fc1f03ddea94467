// The wave that runs over a solved board: one column after another hops up a row and lands
// again, twice across the board.

import { side } from './rules.ts';

const ticksPerHop = 3;
const waves = 2;
export const celebrationTicks = waves * side * ticksPerHop;

// The column in the air `ticksSinceSolved` ticks after solving, or null.
export function liftedColumn(ticksSinceSolved: number): number | null {
  if (ticksSinceSolved < 0 || ticksSinceSolved >= celebrationTicks) return null;
  return Math.floor(ticksSinceSolved / ticksPerHop) % side;
}
