// Draws a round: walls around the board, the snake and its food. The walls never change and each
// segment keeps its key, so a move changes two tiles (the head steps on, the tail jumps to the
// neck) and eating one more (the food).

import type { Drawing, Look, Tile } from '@tilestack/engine';
import { headKey, type Round } from './rules.ts';

const wallLook: Look = { fill: '#3b3f5c', shape: 'square' };
const headLook: Look = { fill: '#1fbf5f', shape: 'round' };
const bodyLook: Look = { fill: '#7be495', shape: 'square' };
const foodLook: Look = { fill: '#ff4f5e', shape: 'round' };
const crashedBodyLook: Look = { fill: '#8a8f98', shape: 'square' };
const fullBodyLook: Look = { fill: '#ffd166', shape: 'square' };

// The head shows the round's score once it is over.
function headLookOf(round: Round): Look {
  switch (round.phase) {
    case 'crashed':
      return { fill: '#ffffff', shape: 'round', text: String(round.eaten), ink: '#e63946' };
    case 'filled':
      return { fill: '#ff9f1c', shape: 'round', text: String(round.eaten), ink: '#ffffff' };
    default:
      return headLook;
  }
}

function bodyLookOf(round: Round): Look {
  switch (round.phase) {
    case 'crashed':
      return crashedBodyLook;
    case 'filled':
      return fullBodyLook;
    default:
      return bodyLook;
  }
}

function wallTiles(cols: number, rows: number): Tile[] {
  const tiles: Tile[] = [];
  for (let col = -1; col <= cols; col++) {
    tiles.push({ key: `wall-${col}-top`, look: wallLook, col, row: -1 });
    tiles.push({ key: `wall-${col}-bottom`, look: wallLook, col, row: rows });
  }
  for (let row = 0; row < rows; row++) {
    tiles.push({ key: `wall-left-${row}`, look: wallLook, col: -1, row });
    tiles.push({ key: `wall-right-${row}`, look: wallLook, col: cols, row });
  }
  return tiles;
}

export function drawRound(round: Round): Drawing {
  const body = bodyLookOf(round);
  const tiles = wallTiles(round.cols, round.rows);
  for (const segment of round.segments) {
    const look = segment.key === headKey ? headLookOf(round) : body;
    tiles.push({ key: segment.key, look, col: segment.col, row: segment.row });
  }
  if (round.food !== null) {
    tiles.push({ key: 'food', look: foodLook, col: round.food.col, row: round.food.row });
  }
  return { tiles };
}
