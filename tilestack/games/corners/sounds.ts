// The game's sounds, as notes for the engine's synthesiser.

import type { SoundRecipe } from '@tilestack/engine';

export const cornersSounds = {
  move: {
    notes: [{ frequency: 740, duration: 25, wave: 'triangle', volume: 0.2 }],
  },
  claim: {
    notes: [
      { frequency: 440, toFrequency: 660, duration: 80, wave: 'sine', volume: 0.5 },
      { frequency: 880, duration: 40, wave: 'triangle', volume: 0.25 },
    ],
  },
  nope: {
    notes: [{ frequency: 140, duration: 70, wave: 'square', volume: 0.15 }],
  },
  win: {
    notes: [
      { frequency: 523, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 659, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 784, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 1047, duration: 300, wave: 'triangle', volume: 0.5 },
    ],
  },
  lose: {
    notes: [
      { frequency: 392, duration: 150, wave: 'sine', volume: 0.4 },
      { frequency: 349, duration: 150, wave: 'sine', volume: 0.4 },
      { frequency: 294, toFrequency: 262, duration: 350, wave: 'sine', volume: 0.4 },
    ],
  },
} satisfies Record<string, SoundRecipe>;
