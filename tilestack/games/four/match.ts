// One game of four in a row, against the computer or a player online, as pure functions: the
// marker above the board, drops, the computer's turn, the end of the game. Players are 1 (red)
// and 2 (yellow); solo, the person is red and the computer yellow; online, the room's host is
// red. Who starts alternates from game to game.

import { cols, drop, emptyGrid, isFull, other, winningSpots, type Grid, type Player, type Spot } from './board.ts';

export const person: Player = 1;
export const computer: Player = 2;

// The computer waits a moment before it shows its column, and again before it drops, so that
// the person can follow.
export const thinkTicks = 8;
export const aimTicks = 6;

export interface Placed extends Spot {
  player: Player;
}

// An online game is abandoned when the other player leaves.
export type Ending = { kind: 'won'; winner: Player; line: Spot[] } | { kind: 'draw' } | { kind: 'abandoned' };

// Online play: whether the other player has come to the table, and whether they have gone.
export interface Online {
  opponentHere: boolean;
  opponentGone: boolean;
}

// What the last step did, so the drawing can time its motion.
export type LastAction = 'none' | 'aim' | 'drop';

export interface Match {
  grid: Grid;
  // Discs in the order they were dropped: a disc's place in this list names its tile.
  placed: Placed[];
  firstPlayer: Player;
  turn: Player;
  // The column the marker (the next disc, held above the board) is over.
  marker: number;
  // Ticks the computer has spent on its current turn.
  computerTicks: number;
  ending: Ending | null;
  lastAction: LastAction;
  // The player at this desktop.
  me: Player;
  online: Online | null;
}

export interface DropResult {
  match: Match;
  outcome: 'dropped' | 'won' | 'draw' | 'full';
}

export function newMatch(firstPlayer: Player, marker = Math.floor(cols / 2), me: Player = person, online: Online | null = null): Match {
  return { grid: emptyGrid(), placed: [], firstPlayer, turn: firstPlayer, marker, computerTicks: 0, ending: null, lastAction: 'none', me, online };
}

// The next game with the same players, the other side starting.
export function nextMatch(match: Match): Match {
  return newMatch(other(match.firstPlayer), match.marker, match.me, match.online);
}

// Whether the player at this desktop may move now.
export function myTurn(match: Match): boolean {
  return match.ending === null && match.turn === match.me && (match.online === null || match.online.opponentHere);
}

export function moveMarker(match: Match, by: number): Match {
  const marker = Math.min(cols - 1, Math.max(0, match.marker + by));
  return { ...match, marker, lastAction: marker === match.marker ? match.lastAction : 'aim' };
}

// Drops the disc of the player to move into `col`: the marker goes there and the disc falls.
export function dropInto(match: Match, col: number): DropResult {
  const dropped = drop(match.grid, col, match.turn);
  if (dropped === null) return { match, outcome: 'full' };
  const placed = [...match.placed, { col, row: dropped.row, player: match.turn }];
  const next: Match = { ...match, grid: dropped.grid, placed, marker: col, computerTicks: 0, lastAction: 'drop', turn: other(match.turn) };
  const line = winningSpots(dropped.grid, col, dropped.row);
  if (line.length > 0) return { match: { ...next, ending: { kind: 'won', winner: match.turn, line } }, outcome: 'won' };
  if (isFull(dropped.grid)) return { match: { ...next, ending: { kind: 'draw' } }, outcome: 'draw' };
  return { match: next, outcome: 'dropped' };
}
