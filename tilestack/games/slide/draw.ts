// Draws the puzzle: each numbered tile keeps its key wherever it goes, so a move is one tile
// gliding into the gap. Tiles are coloured by the row they belong in, which helps to sort them;
// a solved board turns gold and a wave hops across it.

import type { Drawing, Look } from '@tilestack/engine';
import { liftedColumn } from './celebration.ts';
import type { Puzzle } from './puzzle.ts';
import { gap, side } from './rules.ts';

const slideSeconds = 0.15;

const lookOfHomeRow: readonly Omit<Look, 'text'>[] = [
  { fill: '#ff6b6b', ink: '#ffffff', shape: 'square' },
  { fill: '#f7b32b', ink: '#3d2600', shape: 'square' },
  { fill: '#2ec4b6', ink: '#ffffff', shape: 'square' },
  { fill: '#4d96ff', ink: '#ffffff', shape: 'square' },
];
const solvedLook: Omit<Look, 'text'> = { fill: '#ffd166', ink: '#5a189a', shape: 'square' };

export function tileKey(tile: number): string {
  return `tile-${tile}`;
}

export function tileOfKey(key: string): number | null {
  const match = /^tile-(\d+)$/.exec(key);
  return match === null ? null : Number(match[1]);
}

function lookOf(tile: number, solved: boolean): Look {
  const base = solved ? solvedLook : (lookOfHomeRow[Math.floor((tile - 1) / side)] ?? solvedLook);
  return { ...base, text: String(tile) };
}

export function drawPuzzle(puzzle: Puzzle): Drawing {
  const solved = puzzle.solvedTicks !== null;
  const lifted = puzzle.solvedTicks === null ? null : liftedColumn(puzzle.solvedTicks);
  const tiles = puzzle.grid.flatMap((tile, index) => {
    if (tile === gap) return [];
    const col = index % side;
    const row = Math.floor(index / side) - (col === lifted ? 1 : 0);
    return [{ key: tileKey(tile), look: lookOf(tile, solved), col, row }];
  });
  return { tiles, motion: { duration: slideSeconds, easing: 'easeOut' } };
}
