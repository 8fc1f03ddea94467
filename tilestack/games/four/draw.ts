// Draws a match: the board's empty holes, the discs, and the next disc held above the board as
// the marker. The marker is the next disc's own tile, so a drop is that tile falling into place.
// A win turns the winning discs into squares marked with a star.

import type { Drawing, Look, Tile } from '@tilestack/engine';
import { cols, rows, type Player } from './board.ts';
import type { Match } from './match.ts';

const holeLook: Look = { fill: '#1e40af', shape: 'square' };
const discColour: Record<Player, string> = { 1: '#e63946', 2: '#ffd23f' };

const aimSeconds = 0.12;
// A fall takes longer from higher up, but never so long that play drags.
const fallSecondsPerRow = 0.05;
const fallSecondsBase = 0.1;

function discKey(index: number): string {
  return `disc-${index}`;
}

function holeKey(col: number, row: number): string {
  return `hole-${col}-${row}`;
}

// The column of a tile drawn for `match`, found from its key; null for a key it did not draw.
export function columnOfTile(match: Match, key: string): number | null {
  const hole = /^hole-(\d+)-\d+$/.exec(key);
  if (hole !== null) return Number(hole[1]);
  const disc = /^disc-(\d+)$/.exec(key);
  if (disc === null) return null;
  const index = Number(disc[1]);
  return index === match.placed.length ? match.marker : (match.placed[index]?.col ?? null);
}

function discLook(player: Player, winning: boolean): Look {
  return winning ? { fill: discColour[player], shape: 'square', text: '*', ink: '#1d3557' } : { fill: discColour[player], shape: 'round' };
}

function motionOf(match: Match): Drawing['motion'] {
  const last = match.placed.at(-1);
  if (match.lastAction === 'drop' && last !== undefined) {
    return { duration: fallSecondsBase + fallSecondsPerRow * (last.row + 1), easing: 'easeInOut' };
  }
  return { duration: aimSeconds, easing: 'easeOut' };
}

export function drawMatch(match: Match): Drawing {
  const tiles: Tile[] = [];
  for (let row = 0; row < rows; row++) {
    for (let col = 0; col < cols; col++) {
      if (match.grid[row * cols + col] === 0) tiles.push({ key: holeKey(col, row), look: holeLook, col, row });
    }
  }
  const line = match.ending?.kind === 'won' ? match.ending.line : [];
  match.placed.forEach((disc, index) => {
    const winning = line.some((spot) => spot.col === disc.col && spot.row === disc.row);
    tiles.push({ key: discKey(index), look: discLook(disc.player, winning), col: disc.col, row: disc.row });
  });
  if (match.ending === null) {
    tiles.push({ key: discKey(match.placed.length), look: discLook(match.turn, false), col: match.marker, row: -1 });
  }
  return { tiles, motion: motionOf(match) };
}
