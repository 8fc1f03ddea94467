// The puzzle's sounds, as notes for the engine's synthesiser.

import type { SoundRecipe } from '@tilestack/engine';

export const slideSounds = {
  slide: {
    notes: [{ frequency: 520, toFrequency: 440, duration: 45, wave: 'triangle', volume: 0.35 }],
  },
  bump: {
    notes: [{ frequency: 140, duration: 60, wave: 'square', volume: 0.15 }],
  },
  shuffle: {
    notes: [
      { frequency: 2000, duration: 30, wave: 'noise', volume: 0.12 },
      { frequency: 2000, duration: 30, wave: 'noise', volume: 0.1 },
      { frequency: 2000, duration: 30, wave: 'noise', volume: 0.08 },
    ],
  },
  solved: {
    notes: [
      { frequency: 523, duration: 100, wave: 'sine', volume: 0.45 },
      { frequency: 659, duration: 100, wave: 'sine', volume: 0.45 },
      { frequency: 784, duration: 100, wave: 'sine', volume: 0.45 },
      { frequency: 1047, duration: 140, wave: 'triangle', volume: 0.5 },
      { frequency: 784, duration: 80, wave: 'sine', volume: 0.4 },
      { frequency: 1047, duration: 320, wave: 'triangle', volume: 0.5 },
    ],
  },
} satisfies Record<string, SoundRecipe>;
