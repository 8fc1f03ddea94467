// Four in a row on the desktop against the computer: Left and Right move the disc held above
// the board, Return drops it (or a click drops into the clicked column). After a game, Return
// plays again, the other side starting, and Escape leaves.

import type { GameContext, GameInput, GameDefinition } from '@tilestack/engine';
import { isSoloArgs } from '@tilestack/engine';
import { other } from './board.ts';
import { chooseColumn } from './computer.ts';
import { columnOfTile, drawMatch } from './draw.ts';
import { fourBoard } from './layout.ts';
import { aimTicks, computer, dropInto, moveMarker, newMatch, person, thinkTicks, type DropResult, type Match } from './match.ts';
import { fourSounds, type FourSound } from './sounds.ts';

function checkArgs(args: readonly string[]): string | null {
  if (isSoloArgs(args)) return null;
  return `Online play is not available yet: four was started with ${args.join(' ')}.`;
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
      return result.match.ending?.kind === 'won' && result.match.ending.winner === person ? 'win' : 'lose';
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

function onInput(match: Match, input: GameInput, context: GameContext): Match {
  if (match.ending !== null) {
    if (input.kind !== 'key') return match;
    if (input.key === 'return') return newMatch(other(match.firstPlayer), match.marker);
    if (input.key === 'escape') context.leave();
    return match;
  }
  if (match.turn !== person) return match;
  if (input.kind === 'click') {
    const col = clickedColumn(match, input);
    return col === null ? match : dropAndSound(match, col, context);
  }
  switch (input.key) {
    case 'left':
    case 'right': {
      const moved = moveMarker(match, input.key === 'left' ? -1 : 1);
      if (moved.marker !== match.marker) context.play('move');
      return moved;
    }
    case 'return':
    case 'down':
    case 'space':
      return dropAndSound(match, match.marker, context);
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
  if (next.ending === null && next.turn === computer) next = computerTurn(next, context);
  return next;
}

export const fourGame: GameDefinition<Match> = {
  id: 'four',
  tickMs: 50,
  mouse: true,
  sounds: fourSounds,
  checkArgs,
  layout: fourBoard,
  start: () => newMatch(person),
  step: stepMatch,
  draw: (match) => drawMatch(match),
};
