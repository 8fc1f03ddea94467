// A tiny game for tests of the whole run: one walker on a 3 × 3 board that the arrow keys
// move, a beep at every key, a click that puts it on the clicked cell, escape to leave, and
// "!" as the character that makes its step throw.

import type { GameInput, GameDefinition } from '../game.ts';

export interface WalkerState {
  col: number;
  row: number;
}

// `seen` collects every input the game's step is handed.
export function walkerGame(options: { mouse?: boolean; seen?: GameInput[] } = {}): GameDefinition<WalkerState> {
  return {
    id: 'walker',
    tickMs: 50,
    mouse: options.mouse ?? false,
    sounds: { beep: { notes: [{ frequency: 880, duration: 30, wave: 'square' }] } },
    checkArgs: (args) => (args.length === 0 || (args.length === 1 && args[0] === 'solo') ? null : `walker does not know ${args.join(' ')}`),
    layout: () => ({ cols: 3, rows: 3, iconSize: 64 }),
    start: () => ({ col: 0, row: 0 }),
    step(state, inputs, context) {
      let { col, row } = state;
      for (const input of inputs) {
        options.seen?.push(input);
        if (input.kind === 'room') continue;
        if (input.kind === 'click') {
          if (input.cell !== null) ({ col, row } = input.cell);
          continue;
        }
        if (input.char === '!') throw new Error('the walker tripped');
        if (input.key === 'escape') context.leave();
        if (input.key === 'right') col = Math.min(2, col + 1);
        if (input.key === 'down') row = Math.min(2, row + 1);
        context.play('beep');
      }
      return { col, row };
    },
    draw: (state) => ({
      tiles: [
        { key: 'walker', look: { fill: '#3366cc', shape: 'round' }, col: state.col, row: state.row },
        { key: 'home', look: { fill: '#cccccc', text: 'H' }, col: 0, row: 0 },
      ],
      motion: { duration: 0.05 },
    }),
  };
}
