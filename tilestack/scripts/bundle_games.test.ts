import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, describe, test } from 'node:test';

import { renderWav, type SoundRecipe } from '@tilestack/engine';

import { BundleError, bundleGames } from './bundle_games.ts';

const scratch = mkdtempSync(path.join(tmpdir(), 'bundle-games-'));
after(() => rmSync(scratch, { recursive: true, force: true }));

let folders = 0;
function freshFolder(name: string): string {
  const folder = path.join(scratch, `${name}-${++folders}`);
  mkdirSync(folder, { recursive: true });
  return folder;
}

const beep: SoundRecipe = { notes: [{ frequency: 440, duration: 40, wave: 'sine' }] };
const boop: SoundRecipe = { notes: [{ frequency: 220, toFrequency: 110, duration: 60, wave: 'square', volume: 0.5 }] };

function record(id: string): Record<string, unknown> {
  return {
    id,
    name: `Game ${id}`,
    entryFile: `${id}/main.ts`,
    section: 'arcade',
    launch: 'solo',
    controls: [['←', 'Left']],
    card: { gradient: ['#102030'], glyph: ['#.'] },
  };
}

interface FixtureGame {
  gameJson?: unknown;
  sounds?: Record<string, SoundRecipe>;
  // Replaces a generated file: "<id>.ts" (the definition), "main.ts", or null to leave it out.
  files?: Record<string, string | null>;
}

// A game folder like the workspace's: its record, its definition module and an entry module that
// also pulls in a CommonJS file (as `ws` is), printing what it found when run.
function writeGames(games: Record<string, FixtureGame>): string {
  const gamesDir = freshFolder('games');
  for (const [id, game] of Object.entries(games)) {
    const folder = path.join(gamesDir, id);
    mkdirSync(folder);
    const files: Record<string, string | null> = {
      'game.json': JSON.stringify(game.gameJson ?? { ...record(id), unknownKey: 'dropped' }),
      [`${id}.ts`]: `export const definition = { id: ${JSON.stringify(id)}, tickMs: 100, sounds: ${JSON.stringify(game.sounds ?? { beep })} };\n`,
      'legacy.cjs': "const { EventEmitter } = require('node:events');\nmodule.exports = { emitter: EventEmitter.name };\n",
      'main.ts': [
        `import { definition } from './${id}.ts';`,
        "import legacy from './legacy.cjs';",
        'console.log(JSON.stringify({ id: definition.id, emitter: legacy.emitter, args: process.argv.slice(2) }));',
        '',
      ].join('\n'),
      ...game.files,
    };
    for (const [name, text] of Object.entries(files)) {
      if (text !== null) writeFileSync(path.join(folder, name), text);
    }
  }
  return gamesDir;
}

function listing(folder: string): string[] {
  return readdirSync(folder, { recursive: true, encoding: 'utf8' }).sort();
}

describe('bundleGames', () => {
  test('makes a folder per game that node runs on its own, with its record, package and sounds', async () => {
    const gamesDir = writeGames({ alpha: { sounds: { beep, boop } }, beta: {} });
    const outDir = freshFolder('out');

    assert.deepEqual(await bundleGames(gamesDir, outDir), { bundled: ['alpha', 'beta'], removed: [] });
    // The bundle needs nothing from the workspace any more.
    rmSync(gamesDir, { recursive: true });

    assert.deepEqual(listing(path.join(outDir, 'alpha')), [
      'alpha.mjs', 'manifest.json', 'package.json', 'sounds', 'sounds/beep.wav', 'sounds/boop.wav',
    ]);
    assert.deepEqual(JSON.parse(readFileSync(path.join(outDir, 'alpha', 'manifest.json'), 'utf8')), record('alpha'));
    assert.deepEqual(JSON.parse(readFileSync(path.join(outDir, 'alpha', 'package.json'), 'utf8')), {
      type: 'module',
      main: 'alpha.mjs',
    });
    for (const [name, recipe] of [['beep', beep], ['boop', boop]] as const) {
      assert.deepEqual(
        readFileSync(path.join(outDir, 'alpha', 'sounds', `${name}.wav`)),
        Buffer.from(renderWav(recipe)),
      );
    }
    const output = execFileSync(process.execPath, [path.join(outDir, 'alpha'), 'solo'], { encoding: 'utf8' });
    assert.deepEqual(JSON.parse(output), { id: 'alpha', emitter: 'EventEmitter', args: ['solo'] });
  });

  test('a second run replaces each game whole and removes games that are gone, and only those', async () => {
    const outDir = freshFolder('out');
    await bundleGames(writeGames({ alpha: { sounds: { beep } }, beta: {} }), outDir);
    mkdirSync(path.join(outDir, 'fonts'));
    writeFileSync(path.join(outDir, 'fonts', 'tiles.ttf'), 'not a game');
    mkdirSync(path.join(outDir, '.alpha.building-4242'));

    const result = await bundleGames(writeGames({ alpha: { sounds: { boop } } }), outDir);

    assert.deepEqual(result, { bundled: ['alpha'], removed: ['beta'] });
    assert.deepEqual(readdirSync(outDir).sort(), ['alpha', 'fonts']);
    assert.deepEqual(readdirSync(path.join(outDir, 'alpha', 'sounds')), ['boop.wav']);
    assert.ok(existsSync(path.join(outDir, 'fonts', 'tiles.ttf')));
  });

  test('a folder without game.json is not a game', async () => {
    const gamesDir = writeGames({ alpha: {} });
    mkdirSync(path.join(gamesDir, 'shared'));
    writeFileSync(path.join(gamesDir, 'shared', 'colours.ts'), 'export const red = "#ff0000";\n');
    const outDir = freshFolder('out');
    assert.deepEqual(await bundleGames(gamesDir, outDir), { bundled: ['alpha'], removed: [] });
    assert.deepEqual(readdirSync(outDir), ['alpha']);
  });

  const broken: { name: string; game: FixtureGame; message: RegExp }[] = [
    { name: 'a record that fails its check', game: { gameJson: { ...record('alpha'), section: 'racing' } }, message: /games\/alpha\/game\.json.*section/ },
    { name: 'a record naming another folder', game: { gameJson: { ...record('alpha'), id: 'Alpha' } }, message: /games\/alpha\/game\.json.*"id"/ },
    { name: 'a game.json that is not JSON', game: { files: { 'game.json': '{"id": ' } }, message: /games\/alpha\/game\.json/ },
    { name: 'no definition module', game: { files: { 'alpha.ts': null, 'main.ts': 'console.log(1);\n' } }, message: /games\/alpha\/alpha\.ts is missing/ },
    {
      name: 'a definition module without the definition',
      game: { files: { 'alpha.ts': "export const definition = { id: 'other', sounds: {} };\n" } },
      message: /games\/alpha\/alpha\.ts must export exactly one game definition with id "alpha"/,
    },
    { name: 'a sound name that is no file name', game: { sounds: { '../escape': beep } }, message: /"\.\.\/escape" cannot be a file name/ },
    { name: 'an entry module that does not compile', game: { files: { 'main.ts': 'import { definition } from "./alpha.ts"\nconst = 1;\n' } }, message: /^games\/alpha: / },
  ];
  for (const { name, game, message } of broken) {
    test(`${name}: fails, naming the game, and leaves the last good build as it was`, async () => {
      const outDir = freshFolder('out');
      await bundleGames(writeGames({ alpha: {} }), outDir);
      const before = listing(outDir);
      const manifest = readFileSync(path.join(outDir, 'alpha', 'manifest.json'));

      await assert.rejects(bundleGames(writeGames({ alpha: game }), outDir), (error: unknown) => {
        assert.ok(error instanceof BundleError, String(error));
        assert.match(error.message, message);
        return true;
      });

      assert.deepEqual(listing(outDir), before);
      assert.deepEqual(readFileSync(path.join(outDir, 'alpha', 'manifest.json')), manifest);
    });
  }

  test('every bad record is reported before anything is built', async () => {
    const gamesDir = writeGames({
      alpha: { gameJson: { ...record('alpha'), launch: 'never' } },
      beta: {},
      gamma: { gameJson: { ...record('gamma'), controls: 'none' } },
    });
    const outDir = freshFolder('out');
    await assert.rejects(bundleGames(gamesDir, outDir), /games\/alpha\/game\.json[^]*games\/gamma\/game\.json/);
    assert.deepEqual(readdirSync(outDir), []);
  });
});

describe('bundle-games command line', () => {
  const script = path.join(import.meta.dirname, 'bundle-games.ts');
  const run = (args: string[]) =>
    spawnSync(process.execPath, ['--import', 'tsx', script, ...args], {
      cwd: path.join(import.meta.dirname, '..'),
      encoding: 'utf8',
    });

  test('bundles the games folder it is given and says which games it made', () => {
    const outDir = freshFolder('out');
    const result = run(['--out', outDir, '--games', writeGames({ alpha: {}, beta: {} })]);
    assert.equal(result.status, 0, result.stderr);
    assert.equal(result.stdout, 'bundle-games: alpha, beta\n');
    assert.deepEqual(readdirSync(outDir).sort(), ['alpha', 'beta']);
  });

  const cases: { args: string[]; status: number; stdout?: RegExp; stderr?: RegExp }[] = [
    { args: ['--help'], status: 0, stdout: /^usage: .*--out DIR/ },
    { args: [], status: 2, stderr: /^bundle-games: --out DIR is needed \(see --help\)\n$/ },
    { args: ['--out'], status: 2, stderr: /^bundle-games: .*--out.*\(see --help\)\n$/ },
    { args: ['--out', 'x', '--fast'], status: 2, stderr: /^bundle-games: .*--fast.*\(see --help\)\n$/ },
    { args: ['--out', 'x', 'extra'], status: 2, stderr: /^bundle-games: .*extra.*\(see --help\)\n$/ },
    { args: ['--out', 'x', '--games', '/nonexistent/games'], status: 1, stderr: /^bundle-games: \/nonexistent\/games is not a folder\n$/ },
  ];
  for (const { args, status, stdout, stderr } of cases) {
    test(`${JSON.stringify(args)} exits ${status}`, () => {
      const result = run(args);
      assert.equal(result.status, status, result.stderr);
      if (stdout) assert.match(result.stdout, stdout);
      if (stderr) assert.match(result.stderr, stderr);
    });
  }
});
