// Snake on the desktop: arrow keys steer, food grows the snake, the walls and the snake itself
// end the round. The snake waits for the first arrow key; after a round, Return plays again and
// Escape leaves.

import type { GameContext, GameInput, GameDefinition, KeyName } from '@tilestack/engine';
import { checkSoloOnlyArgs } from '@tilestack/engine';
import { drawRound } from './draw.ts';
import { snakeBoard } from './layout.ts';
import { advance, newRound, queueTurn, type Direction, type MoveOutcome, type Round } from './rules.ts';
import { snakeSounds, type SnakeSound } from './sounds.ts';

const directionOfKey: Partial<Record<KeyName, Direction>> = { left: 'left', right: 'right', up: 'up', down: 'down' };

const soundOf: Record<MoveOutcome, SnakeSound | null> = { moved: null, ate: 'eat', crashed: 'crash', filled: 'filled' };

function begin(round: Round, context: GameContext): Round {
  context.play('start');
  return { ...round, phase: 'playing' };
}

function onKey(round: Round, key: KeyName | null, context: GameContext): Round {
  const direction = key === null ? undefined : directionOfKey[key];
  switch (round.phase) {
    case 'ready': {
      if (key === 'return') return begin(round, context);
      if (direction === undefined) return round;
      const turned = queueTurn(round, direction);
      // An arrow back into the snake's own body does not start it.
      return turned !== round || direction === round.heading ? begin(turned, context) : round;
    }
    case 'playing':
      return direction === undefined ? round : queueTurn(round, direction);
    case 'crashed':
    case 'filled':
      if (key === 'return') return begin(newRound(round.cols, round.rows, () => context.random()), context);
      if (key === 'escape') context.leave();
      return round;
  }
}

function stepRound(round: Round, inputs: readonly GameInput[], context: GameContext): Round {
  let next = round;
  for (const input of inputs) {
    if (input.kind === 'key') next = onKey(next, input.key, context);
  }
  if (next.phase !== 'playing') return next;
  const moved = advance(next, () => context.random());
  const sound = soundOf[moved.outcome];
  if (sound !== null) context.play(sound);
  return moved.round;
}

export const snakeGame: GameDefinition<Round> = {
  id: 'snake',
  tickMs: 120,
  mouse: false,
  sounds: snakeSounds,
  checkArgs: (args) => checkSoloOnlyArgs('snake', args),
  layout: snakeBoard,
  start: (context) => newRound(context.board.cols, context.board.rows, () => context.random()),
  step: stepRound,
  draw: (round) => drawRound(round),
};
