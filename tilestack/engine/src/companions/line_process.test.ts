import assert from 'node:assert/strict';
import { chmod, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { Puppet } from '../testing/puppet.ts';
import { makeScratchFolder, type ScratchFolder } from '../testing/scratch_folder.ts';
import { CompanionError } from './contracts.ts';
import { LineProcess, type OutputStream } from './line_process.ts';

const env = { PATH: process.env['PATH'] };

function shell(script: string): LineProcess {
  return LineProcess.spawn({ companion: 'Sonette', path: '/bin/sh', args: ['-c', script], env });
}

function collect(process: LineProcess, stream: OutputStream): string[] {
  const lines: string[] = [];
  process.onLine(stream, (line) => lines.push(line));
  return lines;
}

describe('LineProcess output', () => {
  test('splits both streams into lines, drops a CR before LF and keeps a last line without LF', async () => {
    const process = shell(`printf 'one\\r\\ntwo\\n\\nthree'; printf 'oops\\n' >&2; exit 3`);
    const out = collect(process, 'stdout');
    const errors = collect(process, 'stderr');
    const seenAtExit = await new Promise<string[]>((resolve) => process.onExit(() => resolve([...out])));
    assert.deepEqual(seenAtExit, ['one', 'two', '', 'three'], 'every line is delivered before the exit');
    assert.deepEqual(errors, ['oops']);
    assert.deepEqual(process.exitStatus, { code: 3, signal: null });
  });

  test('waitForLine resolves with the first matching line', async () => {
    const process = shell(`echo METRICS:1,2,3; echo READY; cat > /dev/null`);
    const line = await process.waitForLine('stdout', (candidate) => candidate.startsWith('READY'), 5000, 'READY');
    assert.equal(line, 'READY');
    await process.stop({ deadlineMs: 5000 });
  });

  test('waitForLine fails with the kind that says why the line never came', async () => {
    const silent = shell('cat > /dev/null');
    await assert.rejects(silent.waitForLine('stdout', () => true, 50, 'READY'), { kind: 'timeout', message: /READY within 50 ms/ });
    await silent.stop({ deadlineMs: 5000 });

    const ending = shell(`echo 'no screen' >&2; exit 4`);
    await assert.rejects(ending.waitForLine('stdout', () => true, 5000, 'READY'), (error: unknown) => {
      assert.ok(error instanceof CompanionError);
      assert.equal(error.kind, 'exited');
      assert.match(error.message, /exit status 4/);
      assert.match(error.message, /no screen/, 'the program’s own words are in the message');
      return true;
    });
  });
});

describe('LineProcess start failures', () => {
  let folder: ScratchFolder;
  before(async () => {
    folder = await makeScratchFolder();
    await writeFile(join(folder.path, 'not-executable'), '#!/bin/sh\n');
    await chmod(join(folder.path, 'not-executable'), 0o644);
  });
  after(() => folder.remove());

  const cases = [
    { name: 'a missing program', file: 'missing', reason: /no such file/ },
    { name: 'a file without execute permission', file: 'not-executable', reason: /permission denied/ },
    { name: 'a folder', file: '.', reason: /permission denied/ },
  ];
  for (const { name, file, reason } of cases) {
    test(`${name} is a start error naming the path`, async () => {
      const path = join(folder.path, file);
      const process = LineProcess.spawn({ companion: 'Glyphon', path, env });
      await assert.rejects(process.waitForLine('stdout', () => true, 5000, 'READY'), (error: unknown) => {
        assert.ok(error instanceof CompanionError);
        assert.equal(error.kind, 'start');
        assert.ok(error.message.includes(path), error.message);
        assert.match(error.message, reason);
        return true;
      });
      const status = await process.exited;
      assert.equal(status.startError?.kind, 'start');
      assert.equal(process.writeLine('EXIT'), false);
      assert.equal(await process.stop({ deadlineMs: 100 }), status);
    });
  }
});

describe('LineProcess stop', () => {
  let puppet: Puppet;
  before(async () => {
    puppet = await Puppet.create();
  });
  after(() => puppet.close());

  test('writes the stop word, then closes the input', async () => {
    const process = LineProcess.spawn({ companion: 'Glyphon', path: puppet.program, env: puppet.env() });
    await puppet.started();
    const stopping = process.stop({ word: 'EXIT', deadlineMs: 5000 });
    assert.equal(await puppet.nextInput(), 'EXIT');
    await puppet.inputEnded();
    puppet.exit(0);
    assert.deepEqual(await stopping, { code: 0, signal: null });
  });

  test('kills a program that outlives the deadline', async () => {
    const process = LineProcess.spawn({ companion: 'Keyhark', path: puppet.program, env: puppet.env() });
    await puppet.started();
    await puppet.trap('SIGTERM');
    const status = await process.stop({ signal: 'SIGTERM', deadlineMs: 100 });
    assert.equal(status.signal, 'SIGKILL');
    assert.equal(process.writeLine('late'), false);
  });

  test('a program that ends at the end of its input stops without a kill', async () => {
    const process = shell('cat > /dev/null');
    assert.deepEqual(await process.stop({ deadlineMs: 5000 }), { code: 0, signal: null });
  });
});
