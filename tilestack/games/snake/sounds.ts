// The snake's sounds, as notes for the engine's synthesiser.

import type { SoundRecipe } from '@tilestack/engine';

export const snakeSounds = {
  start: {
    notes: [
      { frequency: 392, duration: 70, wave: 'square', volume: 0.25 },
      { frequency: 523, duration: 90, wave: 'square', volume: 0.25 },
    ],
  },
  eat: {
    notes: [{ frequency: 660, toFrequency: 990, duration: 70, wave: 'triangle', volume: 0.45 }],
  },
  crash: {
    notes: [
      { frequency: 220, toFrequency: 110, duration: 180, wave: 'saw', volume: 0.35 },
      { frequency: 90, duration: 120, wave: 'noise', volume: 0.2 },
    ],
  },
  filled: {
    notes: [
      { frequency: 523, duration: 90, wave: 'triangle', volume: 0.4 },
      { frequency: 659, duration: 90, wave: 'triangle', volume: 0.4 },
      { frequency: 784, duration: 90, wave: 'triangle', volume: 0.4 },
      { frequency: 1047, duration: 240, wave: 'triangle', volume: 0.45 },
    ],
  },
} satisfies Record<string, SoundRecipe>;

export type SnakeSound = keyof typeof snakeSounds;
