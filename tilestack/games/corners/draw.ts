// Draws a table: every square of the board in its owner's colour (free squares dark), the
// marker of the player to move as a round tile of that player's colour, and, when a game is
// won, the winners' squares marked with a star.

import type { Drawing, Look, Tile } from '@tilestack/engine';
import { indexOf, size, winners, type Seat } from './rules.ts';
import type { Table } from './table.ts';

export const seatColours: readonly string[] = ['#e63946', '#4895ef', '#ffd23f', '#52b788'];
const freeLook: Look = { fill: '#2b3a38', shape: 'square' };

function squareKey(col: number, row: number): string {
  return `square-${col}-${row}`;
}

// The square a tile of this drawing stands for, from its key.
export function squareOfTile(key: string): { col: number; row: number } | null {
  const match = /^square-(\d+)-(\d+)$/.exec(key);
  return match === null ? null : { col: Number(match[1]), row: Number(match[2]) };
}

export function drawTable(table: Table): Drawing {
  const starred = table.turn === null && !table.abandoned ? winners(table.squares) : [];
  const tiles: Tile[] = [];
  for (let row = 0; row < size; row += 1) {
    for (let col = 0; col < size; col += 1) {
      const owner = table.squares[indexOf({ col, row })] ?? null;
      let look: Look = owner === null ? freeLook : { fill: seatColours[owner]!, shape: 'square' };
      if (owner !== null && starred.includes(owner)) look = { ...look, text: '*', ink: '#1d3557' };
      const marked = table.turn !== null && !table.abandoned && table.marker.col === col && table.marker.row === row;
      if (marked) look = markerLook(table.turn as Seat, owner !== null);
      tiles.push({ key: squareKey(col, row), look, col, row });
    }
  }
  return { tiles };
}

function markerLook(seat: Seat, onOwnedSquare: boolean): Look {
  return { fill: seatColours[seat]!, shape: 'round', text: onOwnedSquare ? '+' : '?', ink: '#1d3557' };
}
