// The 15-puzzle on the desktop: arrow keys or a click slide a tile into the gap until the tiles
// are in order. Return shuffles anew; Escape leaves once the puzzle is solved.

import type { GameContext, GameInput, GameDefinition, KeyName } from '@tilestack/engine';
import { checkSoloOnlyArgs } from '@tilestack/engine';
import { celebrationTicks } from './celebration.ts';
import { drawPuzzle, tileOfKey } from './draw.ts';
import type { Puzzle } from './puzzle.ts';
import { slideBoard } from './layout.ts';
import { isSolved, shuffledGrid, slideTileAt, slideToward, spotOf, type Direction, type Grid, type Spot } from './rules.ts';
import { slideSounds } from './sounds.ts';

const directionOfKey: Partial<Record<KeyName, Direction>> = { left: 'left', right: 'right', up: 'up', down: 'down' };

function newPuzzle(context: GameContext): Puzzle {
  return { grid: shuffledGrid(() => context.random()), solvedTicks: null };
}

// The tile clicked: its icon when the click hit one (it may still be gliding), else the cell.
function clickedSpot(grid: Grid, input: Extract<GameInput, { kind: 'click' }>): Spot | null {
  const tile = input.tile === null ? null : tileOfKey(input.tile);
  if (tile !== null && grid.includes(tile)) return spotOf(grid, tile);
  return input.cell;
}

function moved(puzzle: Puzzle, grid: Grid | null, context: GameContext): Puzzle {
  if (grid === null) {
    context.play('bump');
    return puzzle;
  }
  context.play('slide');
  const solved = isSolved(grid);
  if (solved) context.play('solved');
  return { grid, solvedTicks: solved ? 0 : null };
}

function onInput(puzzle: Puzzle, input: GameInput, context: GameContext): Puzzle {
  if (input.kind === 'key' && input.key === 'return') {
    context.play('shuffle');
    return newPuzzle(context);
  }
  if (puzzle.solvedTicks !== null) {
    if (input.kind === 'key' && input.key === 'escape') context.leave();
    return puzzle;
  }
  if (input.kind === 'room') return puzzle;
  if (input.kind === 'key') {
    const direction = input.key === null ? undefined : directionOfKey[input.key];
    return direction === undefined ? puzzle : moved(puzzle, slideToward(puzzle.grid, direction), context);
  }
  const spot = clickedSpot(puzzle.grid, input);
  return spot === null ? puzzle : moved(puzzle, slideTileAt(puzzle.grid, spot), context);
}

function stepPuzzle(puzzle: Puzzle, inputs: readonly GameInput[], context: GameContext): Puzzle {
  let next = puzzle;
  if (next.solvedTicks !== null && next.solvedTicks < celebrationTicks) next = { ...next, solvedTicks: next.solvedTicks + 1 };
  for (const input of inputs) next = onInput(next, input, context);
  return next;
}

export const slideGame: GameDefinition<Puzzle> = {
  id: 'slide',
  tickMs: 50,
  mouse: true,
  sounds: slideSounds,
  checkArgs: (args) => checkSoloOnlyArgs('slide', args),
  layout: slideBoard,
  start: newPuzzle,
  step: stepPuzzle,
  draw: (puzzle) => drawPuzzle(puzzle),
};
