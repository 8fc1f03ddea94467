// The game's sounds, as notes for the engine's synthesiser.

import type { SoundRecipe } from '@tilestack/engine';

export const fourSounds = {
  move: {
    notes: [{ frequency: 880, duration: 25, wave: 'triangle', volume: 0.2 }],
  },
  drop: {
    notes: [
      { frequency: 330, toFrequency: 160, duration: 90, wave: 'sine', volume: 0.55 },
      { frequency: 140, duration: 40, wave: 'triangle', volume: 0.3 },
    ],
  },
  full: {
    notes: [{ frequency: 150, duration: 70, wave: 'square', volume: 0.15 }],
  },
  win: {
    notes: [
      { frequency: 392, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 523, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 659, duration: 100, wave: 'triangle', volume: 0.45 },
      { frequency: 784, duration: 300, wave: 'triangle', volume: 0.5 },
    ],
  },
  lose: {
    notes: [
      { frequency: 392, duration: 150, wave: 'sine', volume: 0.4 },
      { frequency: 370, duration: 150, wave: 'sine', volume: 0.4 },
      { frequency: 349, duration: 150, wave: 'sine', volume: 0.4 },
      { frequency: 330, toFrequency: 300, duration: 350, wave: 'sine', volume: 0.4 },
    ],
  },
  draw: {
    notes: [
      { frequency: 523, duration: 120, wave: 'sine', volume: 0.35 },
      { frequency: 523, duration: 200, wave: 'sine', volume: 0.3 },
    ],
  },
} satisfies Record<string, SoundRecipe>;

export type FourSound = keyof typeof fourSounds;
