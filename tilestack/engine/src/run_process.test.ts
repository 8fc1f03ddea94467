import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { waitFor } from './test_fixtures/wait_for.ts';

const walkerMain = path.join(import.meta.dirname, 'test_fixtures', 'walker_main.ts');

async function launch(t: { after: (fn: () => void | Promise<void>) => void }, args: string[] = []) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'engine-process-'));
  const home = path.join(root, 'home');
  const desktop = path.join(home, 'Desktop');
  const statusPath = path.join(root, 'session', 'status.json');
  fs.mkdirSync(desktop, { recursive: true });
  fs.mkdirSync(path.dirname(statusPath));
  const server = net.createServer();
  await new Promise<void>((resolve) => server.listen(0, '127.0.0.1', resolve));
  const address = server.address();
  assert.ok(address !== null && typeof address === 'object');
  t.after(async () => {
    await new Promise((resolve) => server.close(resolve));
    fs.rmSync(root, { recursive: true, force: true });
  });

  const engine = spawn(process.execPath, ['--import', 'tsx', walkerMain, ...args], {
    env: {
      PATH: process.env['PATH'],
      HOME: home,
      TMPDIR: root,
      DESKPLAY_PORT: String(address.port),
      DESKPLAY_SUPERVISED: '1',
      FRONDEL_SESSION_STATUS_PATH: statusPath,
      FRONDEL_SESSION_ID: 'SESSION-2',
      FRONDEL_SESSION_STATUS_SURFACE: 'native',
      GAME_SERVER_URL: 'ws://127.0.0.1:9',
      DESKPLAY_DATA_DIR: path.join(root, 'data'),
    },
    stdio: ['ignore', 'ignore', 'pipe'],
    detached: true,
  });
  let stderr = '';
  engine.stderr.setEncoding('utf8').on('data', (chunk: string) => (stderr += chunk));
  const exited = new Promise<{ code: number | null; signal: NodeJS.Signals | null }>((resolve) => engine.on('exit', (code, signal) => resolve({ code, signal })));
  const phase = (): string | null => {
    try {
      return (JSON.parse(fs.readFileSync(statusPath, 'utf8')) as { phase: string }).phase;
    } catch {
      return null;
    }
  };
  const pid = engine.pid;
  assert.ok(pid !== undefined);
  return {
    pid,
    desktop,
    cacheFolder: path.join(home, 'Library', 'Caches', 'tilestack', 'SESSION-2'),
    statusPath,
    exited,
    phase,
    stderr: () => stderr,
    ready: () => waitFor('the engine to be ready', () => phase() === 'ready', 20_000),
  };
}

test('SIGTERM, even twice, ends the process with status 0 and a child-complete record', async (t) => {
  const engine = await launch(t);
  await engine.ready();
  assert.equal(fs.readdirSync(engine.desktop).length, 2);
  process.kill(engine.pid, 'SIGTERM');
  process.kill(engine.pid, 'SIGTERM');
  assert.deepEqual(await engine.exited, { code: 0, signal: null });
  assert.equal(engine.phase(), 'child-complete');
  assert.deepEqual(fs.readdirSync(engine.desktop), []);
  assert.equal(fs.existsSync(engine.cacheFolder), false);
});

test('refused arguments end the process with status 2 before anything is written', async (t) => {
  const engine = await launch(t, ['join', 'ROOM']);
  assert.deepEqual(await engine.exited, { code: 2, signal: null });
  assert.match(engine.stderr(), /^tilestack: walker does not know join ROOM$/m);
  assert.equal(fs.existsSync(engine.statusPath), false);
});

test('after SIGKILL the keeper takes the tiles and the cache away', async (t) => {
  const engine = await launch(t);
  await engine.ready();
  assert.equal(fs.readdirSync(engine.desktop).length, 2);
  process.kill(-engine.pid, 'SIGKILL');
  assert.equal((await engine.exited).signal, 'SIGKILL');
  await waitFor('the keeper to clear the Desktop', () => fs.readdirSync(engine.desktop).length === 0 && !fs.existsSync(engine.cacheFolder));
  assert.equal(engine.phase(), 'ready');
});
