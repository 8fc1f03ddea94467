// Game sounds as WAV files: 16-bit mono PCM, the format every player decodes.

import type { SoundRecipe } from './recipe.ts';
import { synthesise } from './synth.ts';

export function renderWav(recipe: SoundRecipe, sampleRate = 22050): Buffer {
  return encodeWav(synthesise(recipe, sampleRate), sampleRate);
}

export function encodeWav(samples: Float32Array, sampleRate: number): Buffer {
  const dataBytes = samples.length * 2;
  const wav = Buffer.alloc(44 + dataBytes);
  wav.write('RIFF', 0, 'latin1');
  wav.writeUInt32LE(36 + dataBytes, 4);
  wav.write('WAVE', 8, 'latin1');
  wav.write('fmt ', 12, 'latin1');
  wav.writeUInt32LE(16, 16); // format chunk size
  wav.writeUInt16LE(1, 20); // PCM
  wav.writeUInt16LE(1, 22); // mono
  wav.writeUInt32LE(sampleRate, 24);
  wav.writeUInt32LE(sampleRate * 2, 28); // bytes per second
  wav.writeUInt16LE(2, 32); // bytes per frame
  wav.writeUInt16LE(16, 34); // bits per sample
  wav.write('data', 36, 'latin1');
  wav.writeUInt32LE(dataBytes, 40);
  samples.forEach((sample, index) => {
    const clamped = Math.max(-1, Math.min(1, sample));
    wav.writeInt16LE(Math.round(clamped * 32767), 44 + index * 2);
  });
  return wav;
}
