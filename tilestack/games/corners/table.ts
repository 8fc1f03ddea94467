// One table of Corners, as pure functions: who is seated, whose turn it is, the marker of the
// player to move, and the end of a game. Everyone's desktop keeps the same table: each claim
// and each move of the marker reaches the others through the room.

import { canClaim, claim, cornerOf, nextTurn, seats, size, startingSquares, type Seat, type Square, type Squares } from './rules.ts';

export interface Table {
  squares: Squares;
  // The seat to move; null once no one can claim (the game is over).
  turn: Seat | null;
  firstSeat: Seat;
  // The seat of the player at this desktop.
  me: Seat;
  // The square the player to move points at.
  marker: Square;
  // Which seats are taken: play starts when all four are.
  seated: readonly boolean[];
  // A player left: the game cannot go on.
  abandoned: boolean;
}

export function newTable(me: Seat, seated: readonly boolean[]): Table {
  return { squares: startingSquares(), turn: 0, firstSeat: 0, me, marker: cornerOf(0), seated, abandoned: false };
}

// The next game at the same table, the next seat starting.
export function nextGame(table: Table): Table {
  const firstSeat = ((table.firstSeat + 1) % seats.length) as Seat;
  return { ...table, squares: startingSquares(), turn: firstSeat, firstSeat, marker: cornerOf(firstSeat) };
}

export function isFullTable(table: Table): boolean {
  return table.seated.every(Boolean);
}

export function isOver(table: Table): boolean {
  return table.turn === null || table.abandoned;
}

// Whether `seat` may act now: the game is on, the table is full and it is that seat's turn.
export function mayMove(table: Table, seat: Seat): boolean {
  return !isOver(table) && isFullTable(table) && table.turn === seat;
}

export function moveMarker(table: Table, by: Square): Table {
  const clamp = (value: number): number => Math.min(size - 1, Math.max(0, value));
  return { ...table, marker: { col: clamp(table.marker.col + by.col), row: clamp(table.marker.row + by.row) } };
}

// The player to move claims `square`; null when the claim is not allowed.
export function claimSquare(table: Table, square: Square): Table | null {
  if (table.turn === null || !canClaim(table.squares, table.turn, square)) return null;
  const squares = claim(table.squares, table.turn, square);
  const turn = nextTurn(squares, table.turn);
  return { ...table, squares, turn, marker: turn === null ? square : cornerOf(turn) };
}
