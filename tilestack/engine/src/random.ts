// The game's random source: seeded, so that TILESTACK_SEED replays a session exactly.

import { randomInt } from 'node:crypto';

export function randomSource(seed: number | null): () => number {
  // mulberry32: small, fast, and good enough for games.
  let state = (seed ?? randomInt(0, 2 ** 32)) >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
  };
}
