// Four in a row on the desktop, against the computer or another player online: Left and Right
// move the disc held above the board, Return drops it (or a click drops into the clicked
// column). After a game, Return plays again, the other side starting, and Escape leaves.
// Online, the room's host plays red; each player moves only on their own turn, and every aim
// and drop goes to the other player through the room.

import type { GameContext, GameInput, GameDefinition, RoomEvent } from '@tilestack/engine';
import { isSoloArgs, roomCodeOf } from '@tilestack/engine';
import type { Player } from './board.ts';
import { chooseColumn } from './computer.ts';
import { columnOfTile, drawMatch } from './draw.ts';
import { fourBoard } from './layout.ts';
import { aimTicks, computer, dropInto, moveMarker, myTurn, newMatch, nextMatch, person, thinkTicks, type DropResult, type Match } from './match.ts';
import { parseMove } from './online.ts';
import { fourSounds, type FourSound } from './sounds.ts';

function checkArgs(args: readonly string[]): string | null {
  if (isSoloArgs(args) || roomCodeOf(args) !== null) return null;
  return `four is played solo, or online with "join" and a room code, but was started with ${args.join(' ')}.`;
}

function start(context: GameContext): Match {
  const room = context.room;
  if (room === null) return newMatch(person);
  const me: Player = room.seat.seat === 0 ? 1 : 2;
  return newMatch(1, undefined, me, { opponentHere: room.seat.members.length >= 2, opponentGone: false });
}

function soundOf(result: DropResult): FourSound {
  switch (result.outcome) {
    case 'full':
      return 'full';
    case 'dropped':
      return 'drop';
    case 'draw':
      return 'draw';
    case 'won':
      return result.match.ending?.kind === 'won' && result.match.ending.winner === result.match.me ? 'win' : 'lose';
  }
}

function dropAndSound(match: Match, col: number, context: GameContext): Match {
  const result = dropInto(match, col);
  if (result.outcome !== 'full') context.play('drop');
  if (result.outcome !== 'dropped') context.play(soundOf(result));
  return result.match;
}

// The column a click means: the cell's column on the board, else the column of the tile clicked
// (the marker above the board lies outside it).
function clickedColumn(match: Match, input: Extract<GameInput, { kind: 'click' }>): number | null {
  if (input.cell !== null) return input.cell.col;
  return input.tile === null ? null : columnOfTile(match, input.tile);
}

// The player at this desktop drops into `col`; online, the other player is told.
function myDrop(match: Match, col: number, context: GameContext): Match {
  const next = dropAndSound(match, col, context);
  if (next !== match) context.room?.send({ drop: col });
  return next;
}

// The other player's doings, as the room relays them.
function onRoomEvent(match: Match, event: RoomEvent, context: GameContext): Match {
  const online = match.online;
  if (online === null || online.opponentGone) return match;
  switch (event.kind) {
    case 'joined':
      return { ...match, online: { ...online, opponentHere: true } };
    case 'left':
    case 'closed':
      context.play('lose');
      return { ...match, ending: match.ending ?? { kind: 'abandoned' }, online: { ...online, opponentGone: true } };
    case 'message': {
      const move = parseMove(event.data);
      if (move === null) return match;
      if ('again' in move) return match.ending === null ? match : nextMatch(match);
      if (match.ending !== null || match.turn === match.me) return match;
      if ('aim' in move) {
        if (move.aim !== match.marker) context.play('move');
        return { ...match, marker: move.aim, lastAction: move.aim === match.marker ? match.lastAction : 'aim' };
      }
      return dropAndSound(match, move.drop, context);
    }
  }
}

function onInput(match: Match, input: GameInput, context: GameContext): Match {
  if (input.kind === 'room') return onRoomEvent(match, input.event, context);
  if (match.ending !== null) {
    if (input.kind !== 'key') return match;
    if (input.key === 'return' && match.online?.opponentGone !== true) {
      context.room?.send({ again: true });
      return nextMatch(match);
    }
    if (input.key === 'escape') context.leave();
    return match;
  }
  if (!myTurn(match)) return match;
  if (input.kind === 'click') {
    const col = clickedColumn(match, input);
    return col === null ? match : myDrop(match, col, context);
  }
  switch (input.key) {
    case 'left':
    case 'right': {
      const moved = moveMarker(match, input.key === 'left' ? -1 : 1);
      if (moved.marker !== match.marker) {
        context.play('move');
        context.room?.send({ aim: moved.marker });
      }
      return moved;
    }
    case 'return':
    case 'down':
    case 'space':
      return myDrop(match, match.marker, context);
    default:
      return match;
  }
}

// The computer thinks for a moment, moves the marker to its column, then drops.
function computerTurn(match: Match, context: GameContext): Match {
  const ticks = match.computerTicks + 1;
  if (ticks === thinkTicks) {
    const col = chooseColumn(match.grid, computer, () => context.random());
    if (col === null) return { ...match, computerTicks: ticks };
    context.play('move');
    return { ...match, marker: col, computerTicks: ticks, lastAction: col === match.marker ? match.lastAction : 'aim' };
  }
  if (ticks >= thinkTicks + aimTicks) return dropAndSound(match, match.marker, context);
  return { ...match, computerTicks: ticks };
}

function stepMatch(match: Match, inputs: readonly GameInput[], context: GameContext): Match {
  let next: Match = { ...match, lastAction: 'none' };
  for (const input of inputs) next = onInput(next, input, context);
  if (next.online === null && next.ending === null && next.turn === computer) next = computerTurn(next, context);
  return next;
}

export const fourGame: GameDefinition<Match> = {
  id: 'four',
  tickMs: 50,
  mouse: true,
  sounds: fourSounds,
  checkArgs,
  online: { players: 2 },
  layout: fourBoard,
  start,
  step: stepMatch,
  draw: (match) => drawMatch(match),
};
