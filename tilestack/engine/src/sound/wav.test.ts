import { test } from 'node:test';
import assert from 'node:assert/strict';
import { renderWav } from './wav.ts';
import { SoundRecipeError } from './synth.ts';
import type { Note } from './recipe.ts';

function samplesOf(wav: Buffer): number[] {
  const samples: number[] = [];
  for (let offset = 44; offset < wav.length; offset += 2) samples.push(wav.readInt16LE(offset));
  return samples;
}

function signChanges(samples: number[]): number {
  let changes = 0;
  for (let i = 1; i < samples.length; i += 1) {
    if (Math.sign(samples[i] ?? 0) !== Math.sign(samples[i - 1] ?? 0) && samples[i] !== 0) changes += 1;
  }
  return changes;
}

test('the WAV header describes 16-bit mono PCM of the notes’ total length', () => {
  const wav = renderWav({ notes: [{ frequency: 440, duration: 100, wave: 'sine' }, { frequency: 660, duration: 50, wave: 'square' }] }, 8000);
  assert.equal(wav.toString('latin1', 0, 4), 'RIFF');
  assert.equal(wav.readUInt32LE(4), wav.length - 8);
  assert.equal(wav.toString('latin1', 8, 16), 'WAVEfmt ');
  assert.deepEqual(
    [wav.readUInt32LE(16), wav.readUInt16LE(20), wav.readUInt16LE(22), wav.readUInt32LE(24), wav.readUInt32LE(28), wav.readUInt16LE(32), wav.readUInt16LE(34)],
    [16, 1, 1, 8000, 16000, 2, 16],
  );
  assert.equal(wav.toString('latin1', 36, 40), 'data');
  assert.equal(wav.readUInt32LE(40), 1200 * 2); // 150 ms at 8000 Hz
  assert.equal(wav.length, 44 + 2400);
  assert.equal(renderWav({ notes: [] }).length, 44);
});

test('every wave sounds at its frequency and volume and fades in and out', () => {
  const waves: Note['wave'][] = ['sine', 'square', 'triangle', 'saw'];
  for (const wave of waves) {
    const samples = samplesOf(renderWav({ notes: [{ frequency: 441, duration: 1000, wave, volume: 0.5 }] }, 22050));
    assert.equal(samples.length, 22050);
    // 441 periods in one second, two sign changes each.
    assert.ok(Math.abs(signChanges(samples) - 882) <= 2, `${wave}: ${signChanges(samples)} sign changes`);
    const peak = Math.max(...samples.map(Math.abs));
    assert.ok(peak > 0.45 * 32767 && peak <= 0.5 * 32767 + 1, `${wave} peaks at ${peak}`);
    assert.ok(Math.abs(samples[0] ?? 1) < 200 && Math.abs(samples.at(-1) ?? 1) < 200, `${wave} starts and ends near silence`);
  }
});

test('a slide rises from one frequency to the other', () => {
  const samples = samplesOf(renderWav({ notes: [{ frequency: 200, toFrequency: 800, duration: 1000, wave: 'sine' }] }, 22050));
  const firstHalf = signChanges(samples.slice(0, 11025));
  const secondHalf = signChanges(samples.slice(11025));
  // Averages of 350 Hz and 650 Hz over half a second.
  assert.ok(Math.abs(firstHalf - 350) <= 3, `first half ${firstHalf}`);
  assert.ok(Math.abs(secondHalf - 650) <= 3, `second half ${secondHalf}`);
});

test('noise is the same at every render, and silence is silent', () => {
  const noise = { notes: [{ frequency: 4000, duration: 200, wave: 'noise' as const }] };
  assert.deepEqual(renderWav(noise), renderWav(noise));
  assert.ok(new Set(samplesOf(renderWav(noise))).size > 100);
  assert.ok(samplesOf(renderWav({ notes: [{ frequency: 440, duration: 100, wave: 'square', volume: 0 }] })).every((sample) => sample === 0));
});

test('impossible notes are refused with the note named', () => {
  const notes: Note[] = [
    { frequency: 0, duration: 100, wave: 'sine' },
    { frequency: 440, toFrequency: Number.NaN, duration: 100, wave: 'sine' },
    { frequency: 440, duration: -1, wave: 'sine' },
    { frequency: 440, duration: 100, wave: 'sine', volume: 1.5 },
  ];
  for (const note of notes) {
    assert.throws(
      () => renderWav({ notes: [{ frequency: 440, duration: 10, wave: 'sine' }, note] }),
      (error: unknown) => error instanceof SoundRecipeError && error.kind === 'invalid-recipe' && /^note 2 /.test(error.message),
      JSON.stringify(note),
    );
  }
});
