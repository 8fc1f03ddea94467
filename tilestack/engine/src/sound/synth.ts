// A small synthesiser for game sounds: one voice, notes one after the other, each a waveform
// with an optional frequency slide and short fades at both ends so that nothing clicks.

import type { Note, SoundRecipe, Wave } from './recipe.ts';

export class SoundRecipeError extends Error {
  readonly kind = 'invalid-recipe';

  constructor(message: string) {
    super(message);
    this.name = 'SoundRecipeError';
  }
}

const attackMs = 5;
const releaseMs = 15;

// Samples from −1 to 1. Throws a SoundRecipeError for a note that cannot sound.
export function synthesise(recipe: SoundRecipe, sampleRate: number): Float32Array {
  if (!Number.isInteger(sampleRate) || sampleRate < 1000) throw new SoundRecipeError(`a sample rate of ${sampleRate} Hz is not usable`);
  recipe.notes.forEach(checkNote);
  const lengths = recipe.notes.map((note) => Math.round((note.duration / 1000) * sampleRate));
  const samples = new Float32Array(lengths.reduce((sum, length) => sum + length, 0));
  let offset = 0;
  recipe.notes.forEach((note, index) => {
    const length = lengths[index] ?? 0;
    renderNote(note, sampleRate, samples.subarray(offset, offset + length));
    offset += length;
  });
  return samples;
}

function checkNote(note: Note, index: number): void {
  const problem =
    !Number.isFinite(note.frequency) || note.frequency <= 0
      ? `frequency ${note.frequency}`
      : note.toFrequency !== undefined && (!Number.isFinite(note.toFrequency) || note.toFrequency <= 0)
        ? `slide to ${note.toFrequency}`
        : !Number.isFinite(note.duration) || note.duration < 0
          ? `duration ${note.duration}`
          : note.volume !== undefined && !(note.volume >= 0 && note.volume <= 1)
            ? `volume ${note.volume}`
            : null;
  if (problem !== null) throw new SoundRecipeError(`note ${index + 1} has an impossible ${problem}`);
}

function renderNote(note: Note, sampleRate: number, out: Float32Array): void {
  const length = out.length;
  const volume = note.volume ?? 1;
  const endFrequency = note.toFrequency ?? note.frequency;
  const attack = Math.min(Math.round((attackMs / 1000) * sampleRate), Math.floor(length / 4));
  const release = Math.min(Math.round((releaseMs / 1000) * sampleRate), Math.floor(length / 3));
  const noise = noiseSource();
  let phase = 0;
  let held = noise();
  for (let i = 0; i < length; i += 1) {
    const frequency = note.frequency + (endFrequency - note.frequency) * (i / length);
    phase += frequency / sampleRate;
    if (phase >= 1) {
      phase -= Math.floor(phase);
      held = noise();
    }
    const envelope = Math.min(1, attack === 0 ? 1 : i / attack, release === 0 ? 1 : (length - i) / release);
    out[i] = wave(note.wave, phase, held) * envelope * volume;
  }
}

function wave(shape: Wave, phase: number, held: number): number {
  switch (shape) {
    case 'sine':
      return Math.sin(2 * Math.PI * phase);
    case 'square':
      return phase < 0.5 ? 1 : -1;
    case 'triangle':
      return 1 - 4 * Math.abs(phase - 0.5);
    case 'saw':
      return 2 * phase - 1;
    case 'noise':
      // A new random level every period: the frequency sets how bright the noise is.
      return held;
  }
}

// The same noise every time, so a sound renders to the same file at every build.
function noiseSource(): () => number {
  let state = 0x9e3779b9;
  return () => {
    state ^= state << 13;
    state ^= state >>> 17;
    state ^= state << 5;
    return ((state >>> 0) / 0xffffffff) * 2 - 1;
  };
}
