import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import type { SoundPlayer } from '../companions/contracts.ts';
import { EngineFailure } from '../failure.ts';
import { SoundBoard, prepareSoundFiles } from './sound_board.ts';
import type { SoundRecipe } from './recipe.ts';

const beep: SoundRecipe = { notes: [{ frequency: 880, duration: 40, wave: 'square' }] };

class RecordingPlayer implements SoundPlayer {
  readonly calls: string[] = [];
  load(file: string): void {
    this.calls.push(`load ${path.basename(file)}`);
  }
  play(file: string): void {
    this.calls.push(`play ${path.basename(file)}`);
  }
  loop(id: string): void {
    this.calls.push(`loop ${id}`);
  }
  stopLoop(id: string): void {
    this.calls.push(`stopLoop ${id}`);
  }
  stopAll(): void {
    this.calls.push('stopAll');
  }
  async stop(): Promise<void> {
    this.calls.push('stop');
  }
}

function folders(t: { after: (fn: () => void) => void }): { game: string; cache: string } {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'sound-board-'));
  t.after(() => fs.rmSync(root, { recursive: true, force: true }));
  const game = path.join(root, 'game');
  fs.mkdirSync(path.join(game, 'sounds'), { recursive: true });
  return { game, cache: path.join(root, 'cache') };
}

test('shipped sound files are used; missing ones are rendered into the cache', (t) => {
  const { game, cache } = folders(t);
  fs.writeFileSync(path.join(game, 'sounds', 'eat.wav'), 'shipped');
  const files = prepareSoundFiles({ eat: beep, crash: beep }, game, cache);
  assert.equal(files.get('eat'), path.join(game, 'sounds', 'eat.wav'));
  const rendered = files.get('crash') ?? '';
  assert.equal(rendered, path.join(cache, 'sounds', 'crash.wav'));
  assert.equal(fs.readFileSync(rendered).toString('latin1', 0, 4), 'RIFF');
});

test('sound names that are no file names and recipes that cannot sound are the game’s failure', (t) => {
  const { game, cache } = folders(t);
  const cases: Record<string, SoundRecipe>[] = [
    { '../escape': beep },
    { '': beep },
    { bad: { notes: [{ frequency: -1, duration: 10, wave: 'sine' }] } },
  ];
  for (const sounds of cases) {
    assert.throws(
      () => prepareSoundFiles(sounds, game, cache),
      (error: unknown) => error instanceof EngineFailure && error.kind === 'game',
      JSON.stringify(sounds),
    );
  }
});

test('sounds are loaded at once, played by name, and silent while muted', () => {
  const player = new RecordingPlayer();
  const log: string[] = [];
  const board = new SoundBoard(player, new Map([['eat', '/g/eat.wav'], ['crash', '/g/crash.wav']]), false, (line) => log.push(line));
  board.play('eat');
  board.setMuted(true);
  board.play('crash');
  board.setMuted(true);
  board.setMuted(false);
  board.play('crash');
  board.play('nope');
  board.play('nope');
  assert.deepEqual(player.calls, ['load eat.wav', 'load crash.wav', 'play eat.wav', 'stopAll', 'play crash.wav']);
  assert.equal(log.length, 1);

  const mutedFromStart = new RecordingPlayer();
  new SoundBoard(mutedFromStart, new Map([['eat', '/g/eat.wav']]), true, () => {}).play('eat');
  assert.deepEqual(mutedFromStart.calls, ['load eat.wav']);
});
