// The rules of Corners as pure functions: four players start in the four corners of a 7 × 7
// board and take turns claiming one free square next to (left, right, above or below) a square
// of their own. A player with no such square is passed over; when no one can claim any more,
// the most squares win.

export const size = 7;

export type Seat = 0 | 1 | 2 | 3;
export const seats: readonly Seat[] = [0, 1, 2, 3];
export type Owner = Seat | null;
export type Squares = readonly Owner[];

export interface Square {
  col: number;
  row: number;
}

// Seat 0 top left, then clockwise.
const corners: readonly Square[] = [
  { col: 0, row: 0 },
  { col: size - 1, row: 0 },
  { col: size - 1, row: size - 1 },
  { col: 0, row: size - 1 },
];

export function indexOf(square: Square): number {
  return square.row * size + square.col;
}

export function startingSquares(): Squares {
  const squares: Owner[] = Array.from({ length: size * size }, () => null);
  seats.forEach((seat) => (squares[indexOf(corners[seat]!)] = seat));
  return squares;
}

export function cornerOf(seat: Seat): Square {
  return corners[seat]!;
}

function onBoard(square: Square): boolean {
  return square.col >= 0 && square.col < size && square.row >= 0 && square.row < size;
}

// Whether `seat` may claim `square` now.
export function canClaim(squares: Squares, seat: Seat, square: Square): boolean {
  if (!onBoard(square) || squares[indexOf(square)] !== null) return false;
  return [
    { col: square.col - 1, row: square.row },
    { col: square.col + 1, row: square.row },
    { col: square.col, row: square.row - 1 },
    { col: square.col, row: square.row + 1 },
  ].some((next) => onBoard(next) && squares[indexOf(next)] === seat);
}

export function hasClaim(squares: Squares, seat: Seat): boolean {
  for (let row = 0; row < size; row += 1) {
    for (let col = 0; col < size; col += 1) if (canClaim(squares, seat, { col, row })) return true;
  }
  return false;
}

export function claim(squares: Squares, seat: Seat, square: Square): Squares {
  const next = [...squares];
  next[indexOf(square)] = seat;
  return next;
}

// The seat that plays after `seat`, skipping those with nothing to claim; null when no one can.
export function nextTurn(squares: Squares, seat: Seat): Seat | null {
  for (let step = 1; step <= seats.length; step += 1) {
    const candidate = ((seat + step) % seats.length) as Seat;
    if (hasClaim(squares, candidate)) return candidate;
  }
  return null;
}

export function counts(squares: Squares): number[] {
  return seats.map((seat) => squares.filter((owner) => owner === seat).length);
}

// The seats with the most squares.
export function winners(squares: Squares): Seat[] {
  const tally = counts(squares);
  const most = Math.max(...tally);
  return seats.filter((seat) => tally[seat] === most);
}
