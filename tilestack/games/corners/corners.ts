// Corners on the desktop, for four players online: each grows a territory from a corner of the
// board, one square a turn. Arrow keys move the marker, Return (or a click on a square) claims;
// after a game, Return plays again, the next seat starting, and Escape leaves. Play starts once
// all four seats are taken and ends for everyone when a player leaves.

import type { GameContext, GameDefinition, GameInput, RoomEvent } from '@tilestack/engine';
import { roomCodeOf } from '@tilestack/engine';
import { drawTable, squareOfTile } from './draw.ts';
import { cornersBoard } from './layout.ts';
import { winners, size, seats, type Seat, type Square } from './rules.ts';
import { cornersSounds } from './sounds.ts';
import { claimSquare, isOver, mayMove, moveMarker, newTable, nextGame, type Table } from './table.ts';

export const players = 4;

function checkArgs(args: readonly string[]): string | null {
  if (roomCodeOf(args) !== null) return null;
  return `corners is played online only, with "join" and a room code, but was started with ${args.length === 0 ? 'no arguments' : args.join(' ')}.`;
}

function start(context: GameContext): Table {
  const seat = context.room?.seat;
  if (seat === undefined) throw new Error('corners needs a room');
  const seated = seats.map((index) => seat.members.some((member) => member.seat === index));
  return newTable(seat.seat as Seat, seated);
}

type Move = { aim: Square } | { claim: Square } | { again: true };

function parseMove(data: unknown): Move | null {
  if (typeof data !== 'object' || data === null) return null;
  const value = data as Record<string, unknown>;
  const square = (candidate: unknown): Square | null => {
    if (typeof candidate !== 'object' || candidate === null) return null;
    const { col, row } = candidate as Record<string, unknown>;
    const isIndex = (n: unknown): n is number => typeof n === 'number' && Number.isInteger(n) && n >= 0 && n < size;
    return isIndex(col) && isIndex(row) ? { col, row } : null;
  };
  const aim = square(value['aim']);
  if (aim !== null) return { aim };
  const claimed = square(value['claim']);
  if (claimed !== null) return { claim: claimed };
  return value['again'] === true ? { again: true } : null;
}

function soundOfEnd(table: Table, context: GameContext): void {
  if (table.turn === null) context.play(winners(table.squares).includes(table.me) ? 'win' : 'lose');
}

function claimAndSound(table: Table, square: Square, context: GameContext): Table | null {
  const claimed = claimSquare(table, square);
  if (claimed === null) return null;
  context.play('claim');
  soundOfEnd(claimed, context);
  return claimed;
}

function onRoomEvent(table: Table, event: RoomEvent, context: GameContext): Table {
  if (table.abandoned) return table;
  switch (event.kind) {
    case 'joined':
      return { ...table, seated: table.seated.map((taken, seat) => taken || seat === event.seat) };
    case 'left':
    case 'closed':
      context.play('lose');
      return { ...table, abandoned: true };
    case 'message': {
      const move = parseMove(event.data);
      if (move === null) return table;
      if ('again' in move) return isOver(table) ? nextGame(table) : table;
      if (!mayMove(table, event.from as Seat) || event.from === table.me) return table;
      if ('aim' in move) return { ...table, marker: move.aim };
      return claimAndSound(table, move.claim, context) ?? table;
    }
  }
}

function myClaim(table: Table, square: Square, context: GameContext): Table {
  const claimed = claimAndSound(table, square, context);
  if (claimed === null) {
    context.play('nope');
    return table;
  }
  context.room?.send({ claim: square });
  return claimed;
}

const arrows: Partial<Record<string, Square>> = {
  left: { col: -1, row: 0 },
  right: { col: 1, row: 0 },
  up: { col: 0, row: -1 },
  down: { col: 0, row: 1 },
};

function onInput(table: Table, input: GameInput, context: GameContext): Table {
  if (input.kind === 'room') return onRoomEvent(table, input.event, context);
  if (isOver(table)) {
    if (input.kind !== 'key') return table;
    if (input.key === 'return' && !table.abandoned) {
      context.room?.send({ again: true });
      return nextGame(table);
    }
    if (input.key === 'escape') context.leave();
    return table;
  }
  if (!mayMove(table, table.me)) return table;
  if (input.kind === 'click') {
    const square = input.cell ?? (input.tile === null ? null : squareOfTile(input.tile));
    return square === null ? table : myClaim(table, square, context);
  }
  if (input.key === 'return' || input.key === 'space') return myClaim(table, table.marker, context);
  const by = input.key === null ? undefined : arrows[input.key];
  if (by === undefined) return table;
  const moved = moveMarker(table, by);
  if (moved.marker.col !== table.marker.col || moved.marker.row !== table.marker.row) {
    context.play('move');
    context.room?.send({ aim: moved.marker });
  }
  return moved;
}

export const cornersGame: GameDefinition<Table> = {
  id: 'corners',
  tickMs: 50,
  mouse: true,
  sounds: cornersSounds,
  checkArgs,
  online: { players },
  layout: cornersBoard,
  start,
  step: (table, inputs, context) => inputs.reduce((next, input) => onInput(next, input, context), table),
  draw: (table) => drawTable(table),
};
