import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { Keeper } from './keeper.ts';
import { waitFor } from './test_fixtures/wait_for.ts';

function isRunning(pid: number): boolean {
  try {
    process.kill(pid, 0);
    return true;
  } catch {
    return false;
  }
}

// A process that ended but was not reaped (its parent, the killed engine, cannot reap it).
function isZombie(pid: number): boolean {
  try {
    const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    return stat.slice(stat.lastIndexOf(')') + 2).startsWith('Z');
  } catch {
    return false;
  }
}

function makeHome(t: { after: (fn: () => void) => void }): { desktop: string; cacheFolder: string } {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'keeper-home-'));
  t.after(() => fs.rmSync(home, { recursive: true, force: true }));
  const desktop = path.join(home, 'Desktop');
  const cacheFolder = path.join(home, 'Library', 'Caches', 'tilestack', 'SESSION');
  fs.mkdirSync(desktop);
  fs.mkdirSync(cacheFolder, { recursive: true });
  fs.writeFileSync(path.join(cacheFolder, 'look-0.png'), 'png');
  return { desktop, cacheFolder };
}

test('when the engine is killed with its process group, the keeper removes its tiles and cache', async (t) => {
  const { desktop, cacheFolder } = makeHome(t);
  const tile = (name: string): string => {
    const file = path.join(desktop, name);
    fs.writeFileSync(file, '');
    return file;
  };
  const kept = tile('\u2009a');
  const alsoKept = tile('\u2009b');
  const removedByEngine = tile('\u2009c'); // the engine said it removed it; someone made it again
  const replaced = tile('\u2009d'); // another file now has the tile's name
  const userFile = tile('notes.txt');
  // Told of, then made by Glyphon, and the engine killed before it could confirm it.
  const madeUnconfirmed = path.join(desktop, '\u2009e');
  // Told of, never made; a file with content appeared under its name instead.
  const neverMade = path.join(desktop, '\u2009f');

  const plan = {
    cacheFolder,
    expecting: [madeUnconfirmed, neverMade],
    created: [kept, alsoKept, removedByEngine, replaced],
    removed: [removedByEngine],
  };
  const engine = spawn(process.execPath, ['--import', 'tsx', path.join(import.meta.dirname, 'test_fixtures', 'keeper_host.ts'), JSON.stringify(plan)], {
    detached: true,
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  let output = '';
  engine.stdout.setEncoding('utf8').on('data', (chunk: string) => (output += chunk));
  const exited = new Promise((resolve) => engine.on('exit', resolve));
  await waitFor('the engine to start its keeper', () => /ready \d+\n/.test(output));
  const keeperPid = Number(/ready (\d+)/.exec(output)?.[1]);

  fs.writeFileSync(madeUnconfirmed, '');
  fs.writeFileSync(neverMade, 'not a tile');
  // Made while the tile still exists, so it cannot get the tile's inode number back.
  fs.writeFileSync(`${replaced}.new`, 'a different file');
  fs.renameSync(`${replaced}.new`, replaced);

  assert.ok(engine.pid !== undefined);
  process.kill(-engine.pid, 'SIGKILL');
  await exited;

  await waitFor('the keeper to end', () => !isRunning(keeperPid));
  assert.equal(fs.existsSync(kept), false);
  assert.equal(fs.existsSync(alsoKept), false);
  assert.equal(fs.existsSync(cacheFolder), false);
  assert.equal(fs.existsSync(removedByEngine), true);
  assert.equal(fs.readFileSync(replaced, 'utf8'), 'a different file');
  assert.equal(fs.existsSync(userFile), true);
  assert.equal(fs.existsSync(madeUnconfirmed), false);
  assert.equal(fs.readFileSync(neverMade, 'utf8'), 'not a tile');
});

test('after a clean end the keeper leaves the listed files alone and removes the cache', async (t) => {
  const { desktop, cacheFolder } = makeHome(t);
  const file = path.join(desktop, '\u2009a');
  fs.writeFileSync(file, '');
  const stat = fs.lstatSync(file, { bigint: true });

  const keeper = Keeper.start(cacheFolder);
  const pid = keeper.pid;
  assert.ok(pid !== undefined);
  keeper.created(file, { dev: String(stat.dev), ino: String(stat.ino) });
  keeper.done();
  keeper.removed(file); // after done: ignored, not written into a closed pipe

  await waitFor('the keeper to end', () => !isRunning(pid));
  assert.equal(fs.existsSync(file), true);
  assert.equal(fs.existsSync(cacheFolder), false);
});

test('a tile that a companion makes after the engine was killed is removed once the companion ends', async (t) => {
  const { desktop, cacheFolder } = makeHome(t);
  const late = path.join(desktop, '\u2009late');
  const trigger = path.join(path.dirname(desktop), 'make-the-tile');
  const plan = { cacheFolder, expecting: [late], created: [], removed: [], companion: { makes: late, trigger } };
  const engine = spawn(process.execPath, ['--import', 'tsx', path.join(import.meta.dirname, 'test_fixtures', 'keeper_host.ts'), JSON.stringify(plan)], {
    detached: true,
    stdio: ['ignore', 'pipe', 'pipe'],
  });
  let output = '';
  let errors = '';
  engine.stdout.setEncoding('utf8').on('data', (chunk: string) => (output += chunk));
  engine.stderr.setEncoding('utf8').on('data', (chunk: string) => (errors += chunk));
  const exited = new Promise((resolve) => engine.on('exit', resolve));
  await waitFor('the engine to start its keeper', () => /ready \d+\n/.test(output));
  const keeperPid = Number(/ready (\d+)/.exec(output)?.[1]);
  const companionPid = Number(/companion (\d+)/.exec(output)?.[1]);
  assert.ok(engine.pid !== undefined);
  t.after(() => {
    try {
      process.kill(-engine.pid!, 'SIGKILL');
    } catch {
      // The group has ended.
    }
  });

  // Only the engine dies: the companion in its group goes on with the command it was given.
  process.kill(engine.pid, 'SIGKILL');
  await exited;
  await waitFor('the keeper to wait for the companion', () => errors.includes('its companions still run'));
  assert.equal(isRunning(keeperPid), true);

  fs.writeFileSync(trigger, '');
  await waitFor('the companion to end', () => !isRunning(companionPid) || isZombie(companionPid));
  await waitFor('the keeper to end', () => !isRunning(keeperPid));
  assert.equal(fs.existsSync(late), false);
  assert.equal(fs.existsSync(cacheFolder), false);
});
