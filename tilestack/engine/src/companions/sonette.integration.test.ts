// The client against the real Sonette, its device output written to a file by SDL's disk driver
// (32-bit float stereo samples).

import assert from 'node:assert/strict';
import { mkdir, readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { lookUpBuild } from '../testing/build.ts';
import { pollUntil } from '../testing/poll.ts';
import { makeScratchFolder } from '../testing/scratch_folder.ts';
import { SonetteClient } from './sonette.ts';

const build = lookUpBuild();
const sampleRate = 48_000;
const loudEnough = 0.05;

// A 16-bit mono WAV file of a 440 Hz sine at half scale.
function sineWav(seconds: number): Buffer {
  const frames = Math.round(seconds * sampleRate);
  const wav = Buffer.alloc(44 + frames * 2);
  wav.write('RIFF', 0);
  wav.writeUInt32LE(36 + frames * 2, 4);
  wav.write('WAVEfmt ', 8);
  wav.writeUInt32LE(16, 16);
  wav.writeUInt16LE(1, 20); // PCM
  wav.writeUInt16LE(1, 22); // mono
  wav.writeUInt32LE(sampleRate, 24);
  wav.writeUInt32LE(sampleRate * 2, 28);
  wav.writeUInt16LE(2, 32);
  wav.writeUInt16LE(16, 34);
  wav.write('data', 36);
  wav.writeUInt32LE(frames * 2, 40);
  for (let frame = 0; frame < frames; frame += 1) {
    wav.writeInt16LE(Math.round(16_383 * Math.sin((2 * Math.PI * 440 * frame) / sampleRate)), 44 + frame * 2);
  }
  return wav;
}

// The left channel of what the device has played so far.
async function deviceOutput(path: string): Promise<Float32Array> {
  const bytes = await readFile(path).catch(() => Buffer.alloc(0));
  const floats = new Float32Array(bytes.buffer, bytes.byteOffset, Math.floor(bytes.length / 4));
  return floats.filter((_, index) => index % 2 === 0);
}

function loudFrames(samples: Float32Array, from = 0): number {
  return samples.subarray(from).filter((sample) => Math.abs(sample) > loudEnough).length;
}

describe('SonetteClient with the real Sonette', { skip: build.skip }, () => {
  test('plays, loops and stops sounds, and ends at EXIT', async (t) => {
    const scratch = await makeScratchFolder();
    t.after(() => scratch.remove());
    const home = join(scratch.path, 'home');
    const runtime = join(scratch.path, 'run');
    await mkdir(home);
    await mkdir(runtime, { mode: 0o700 });
    const device = join(scratch.path, 'device.raw');
    const ping = join(scratch.path, 'ping.wav');
    await writeFile(ping, sineWav(0.1));

    const sonette = await SonetteClient.start(build.programs().sonette, {
      env: { PATH: process.env['PATH'], HOME: home, TMPDIR: scratch.path, XDG_RUNTIME_DIR: runtime, SDL_AUDIODRIVER: 'disk', SDL_DISKAUDIOFILE: device },
    });
    t.after(() => sonette.stop());

    sonette.load(ping);
    sonette.play(ping, 0.8);
    await pollUntil('the ping on the device', async () => loudFrames(await deviceOutput(device)) > 0.05 * sampleRate);

    // A 0.1 s sound heard for far longer than 0.1 s is looping.
    sonette.loop('tune', ping);
    const loopStart = (await deviceOutput(device)).length;
    await pollUntil('the loop past its own length', async () => loudFrames(await deviceOutput(device), loopStart) > 0.3 * sampleRate, 10_000);

    sonette.stopLoop('tune');
    // The device may still be playing what was mixed before the stop; later it is silent.
    const stoppedAt = (await deviceOutput(device)).length;
    await pollUntil('a quiet stretch after the stop', async () => {
      const samples = await deviceOutput(device);
      const settled = stoppedAt + 0.2 * sampleRate;
      return samples.length > settled + 0.2 * sampleRate && loudFrames(samples.subarray(settled)) === 0;
    }, 10_000);

    const ended = new Promise((resolve) => sonette.onExit(resolve));
    await sonette.stop();
    assert.deepEqual(await ended, { code: 0, signal: null });
  });
});
