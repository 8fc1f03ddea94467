// roomd as a program: bin/roomd started the way make run and the tests of Deskplay start it.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, type ChildProcess } from 'node:child_process';
import { once } from 'node:events';
import { writeFileSync } from 'node:fs';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { stateFileName } from './state_file.ts';
import { scratchFolder, signInThroughPage } from './testing/roomd_fixture.ts';

const roomd = path.join(import.meta.dirname, '..', 'bin', 'roomd');

interface Running {
  child: ChildProcess;
  port: number;
}

async function start(args: string[]): Promise<Running> {
  const child = spawn(roomd, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  const lines = createInterface({ input: child.stdout! });
  for await (const line of lines) {
    const ready = /^ROOMD_READY (\d+)$/.exec(line);
    if (ready !== null) return { child, port: Number(ready[1]) };
  }
  throw new Error('roomd ended without ROOMD_READY');
}

async function stop(running: Running): Promise<number | null> {
  running.child.kill('SIGTERM');
  const [code] = (await once(running.child, 'exit')) as [number | null];
  return code;
}

async function finish(args: string[]): Promise<{ code: number | null; stdout: string; stderr: string }> {
  const child = spawn(roomd, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  let stdout = '';
  let stderr = '';
  child.stdout.on('data', (chunk: Buffer) => (stdout += chunk.toString()));
  child.stderr.on('data', (chunk: Buffer) => (stderr += chunk.toString()));
  const [code] = (await once(child, 'exit')) as [number | null];
  return { code, stdout, stderr };
}

test('roomd answers --help, and bad use with one line and a non-zero exit', async () => {
  const help = await finish(['--help']);
  assert.equal(help.code, 0);
  assert.match(help.stdout, /^usage: roomd --port PORT/);
  const bad = await finish(['--port', 'many']);
  assert.equal(bad.code, 2);
  assert.equal(bad.stderr, 'roomd: --port needs a port number from 0 to 65535 (see --help)\n');
});

test('roomd listens on loopback, keeps sessions in --data across a restart, and ends on SIGTERM', async () => {
  const data = scratchFolder();
  try {
    const first = await start(['--port', '0', '--data', data.path]);
    const token = await signInThroughPage(`http://127.0.0.1:${first.port}`, 'Ada', 'ada@example.com');
    assert.equal(await stop(first), 0);

    const second = await start(['--port', '0', '--data', data.path]);
    const reply = await fetch(`http://127.0.0.1:${second.port}/api/me`, { headers: { Authorization: `Bearer ${token}` } });
    assert.equal(((await reply.json()) as { user: { name: string } }).user.name, 'Ada');
    assert.equal(await stop(second), 0);
  } finally {
    data.remove();
  }
});

test('roomd will not start over a state file it cannot read', async () => {
  const data = scratchFolder();
  try {
    writeFileSync(path.join(data.path, stateFileName), 'garbage');
    const result = await finish(['--port', '0', '--data', data.path]);
    assert.equal(result.code, 1);
    assert.match(result.stderr, /^roomd: cannot start: .*roomd-state\.json is not a roomd state file\n$/);
  } finally {
    data.remove();
  }
});
