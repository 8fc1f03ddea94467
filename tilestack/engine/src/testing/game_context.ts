// A game context for tests: a board of the given size, a seeded random source, and a record of
// the sounds played and of leaving.

import type { Board, GameContext } from '../game.ts';
import { randomSource } from '../random.ts';

export interface FakeContext extends GameContext {
  readonly played: string[];
  readonly left: boolean;
}

// The engine's own seeded source, so tests replay what a seeded session does.
export function seededRandom(seed: number): () => number {
  return randomSource(seed);
}

export function fakeBoard(cols: number, rows: number): Board {
  const pitch = 60;
  return {
    cols,
    rows,
    iconSize: 48,
    pitch,
    metrics: { width: 1440, height: 900, iconSize: 48 },
    centreOf: (cell) => ({ x: cell.col * pitch + pitch / 2, y: cell.row * pitch + pitch / 2 }),
    cellAt: (point) => {
      const cell = { col: Math.floor(point.x / pitch), row: Math.floor(point.y / pitch) };
      return cell.col >= 0 && cell.col < cols && cell.row >= 0 && cell.row < rows ? cell : null;
    },
  };
}

export function fakeContext(cols: number, rows: number, seed = 1, args: readonly string[] = []): FakeContext {
  const random = seededRandom(seed);
  const played: string[] = [];
  let left = false;
  return {
    board: fakeBoard(cols, rows),
    args,
    tick: 0,
    random,
    play: (sound) => played.push(sound),
    leave: () => {
      left = true;
    },
    played,
    get left() {
      return left;
    },
  };
}
