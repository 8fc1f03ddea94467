// Grids for tests, drawn as six rows of seven characters: "x" for player 1, "o" for player 2,
// "." for an empty cell.

import { cols, rows, type Disc, type Grid } from './board.ts';

export function gridOf(picture: string): Grid {
  const lines = picture
    .trim()
    .split('\n')
    .map((line) => line.trim());
  if (lines.length !== rows || lines.some((line) => line.length !== cols)) throw new Error(`a grid picture is ${rows} rows of ${cols}`);
  return lines.flatMap((line) => [...line].map((character): Disc => (character === 'x' ? 1 : character === 'o' ? 2 : 0)));
}
