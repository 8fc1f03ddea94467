import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { promisify } from 'node:util';

const checkout = path.join(import.meta.dirname, '..');

interface Run {
  status: number;
  stdout: string;
  stderr: string;
}

// Runs the dump the way Deskplay does, from the checkout, optionally on another games folder.
async function dump(...args: string[]): Promise<Run> {
  try {
    const { stdout, stderr } = await promisify(execFile)(process.execPath, ['--import', 'tsx', 'scripts/dump-catalog.ts', ...args], { cwd: checkout });
    return { status: 0, stdout, stderr };
  } catch (error) {
    const failed = error as { code?: number; stdout?: string; stderr?: string };
    return { status: failed.code ?? -1, stdout: failed.stdout ?? '', stderr: failed.stderr ?? '' };
  }
}

function lastLine(text: string): string {
  return text.trim().split('\n').at(-1) ?? '';
}

function record(id: string, fields: Record<string, unknown> = {}): Record<string, unknown> {
  return {
    id,
    name: id,
    entryFile: `${id}/main.ts`,
    section: 'arcade',
    launch: 'solo',
    controls: [],
    card: { gradient: ['#000000'], glyph: ['#'] },
    ...fields,
  };
}

test('dumps the checkout: one JSON array of its games, in library order, and exit 0', async () => {
  const run = await dump();
  assert.equal(run.status, 0, run.stderr);
  const games = JSON.parse(run.stdout) as { id: string; section: string }[];
  assert.ok(Array.isArray(games));
  const ids = games.map((game) => game.id);
  for (const id of ['snake', 'slide', 'four', 'corners']) assert.ok(ids.includes(id), `${id} in ${ids.join(', ')}`);
  const sections = ['arcade', 'puzzles', 'tabletop', 'studio'];
  const ranks = games.map((game) => sections.indexOf(game.section));
  assert.deepEqual(ranks, [...ranks].sort((a, b) => a - b));
});

describe('a games folder of our own', () => {
  let scratch = '';
  before(async () => {
    scratch = await mkdtemp(path.join(tmpdir(), 'dump-catalog-'));
  });
  after(() => rm(scratch, { recursive: true, force: true }));

  // A games folder holding one folder per entry, each with its game.json text (none for null)
  // and an entry file.
  async function gamesFolder(games: Record<string, string | null>): Promise<string> {
    const dir = await mkdtemp(path.join(scratch, 'games-'));
    for (const [folder, gameJson] of Object.entries(games)) {
      await mkdir(path.join(dir, folder));
      await writeFile(path.join(dir, folder, 'main.ts'), 'export {};\n');
      if (gameJson !== null) await writeFile(path.join(dir, folder, 'game.json'), gameJson);
    }
    return dir;
  }

  test('sorts by section, then order (absent counts as 0), then name; hidden folders are not games', async () => {
    const dir = await gamesFolder({
      a: JSON.stringify(record('a', { section: 'studio' })),
      b: JSON.stringify(record('b', { section: 'puzzles', order: 1 })),
      c: JSON.stringify(record('c', { section: 'puzzles' })),
      d: JSON.stringify(record('d', { section: 'puzzles', order: -1 })),
      e: JSON.stringify(record('e', { section: 'arcade', name: 'Zebra' })),
      f: JSON.stringify(record('f', { section: 'arcade', name: 'Apple' })),
      '.hidden': '{',
    });
    const run = await dump(dir);
    assert.equal(run.status, 0, run.stderr);
    assert.deepEqual((JSON.parse(run.stdout) as { id: string }[]).map((game) => game.id), ['f', 'e', 'd', 'c', 'b', 'a']);
  });

  const failures: { name: string; games: Record<string, string | null>; reason: RegExp }[] = [
    { name: 'a game folder without game.json', games: { good: JSON.stringify(record('good')), bad: null }, reason: /^games\/bad\/game.json is missing$/ },
    { name: 'a game.json that is not JSON', games: { bad: '{"id": "bad"' }, reason: /^games\/bad\/game.json is not valid JSON/ },
    { name: 'an id that is not its folder name', games: { bad: JSON.stringify(record('worse')) }, reason: /"id" must be the folder name "bad"/ },
    { name: 'a record without a required key', games: { bad: JSON.stringify({ ...record('bad'), card: undefined }) }, reason: /"card" must be an object \(got missing\)/ },
    { name: 'no games at all', games: {}, reason: /^no games in / },
  ];
  for (const { name, games, reason } of failures) {
    test(`fails with the reason as the last line of standard error on ${name}`, async () => {
      const run = await dump(await gamesFolder(games));
      assert.equal(run.status, 1);
      assert.equal(run.stdout, '', 'prints no catalog');
      assert.match(lastLine(run.stderr), reason);
    });
  }

  test('fails on a games folder that does not exist', async () => {
    const run = await dump(path.join(scratch, 'nowhere'));
    assert.equal(run.status, 1);
    assert.match(lastLine(run.stderr), /^cannot list the games folder .*nowhere/);
  });
});
