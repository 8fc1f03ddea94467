// The client against the real Burrowd on temporary folders.

import assert from 'node:assert/strict';
import { mkdir, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test, type TestContext } from 'node:test';
import { lookUpBuild } from '../testing/build.ts';
import { makeScratchFolder } from '../testing/scratch_folder.ts';
import { BurrowdClient } from './burrowd.ts';

const build = lookUpBuild();

async function folders(t: TestContext): Promise<{ root: string; desktop: string; stash: string; env: NodeJS.ProcessEnv }> {
  const scratch = await makeScratchFolder();
  t.after(() => scratch.remove());
  const desktop = join(scratch.path, 'Desktop');
  const stash = join(scratch.path, '.deskplay-stash');
  await mkdir(desktop);
  await mkdir(stash);
  return { root: scratch.path, desktop, stash, env: { PATH: process.env['PATH'], HOME: scratch.path, TMPDIR: scratch.path } };
}

describe('BurrowdClient with the real Burrowd', { skip: build.skip }, () => {
  test('lists, checks and moves entries, and keeps the journal', async (t) => {
    const { desktop, stash, env } = await folders(t);
    await writeFile(join(desktop, 'notes.txt'), 'n');
    await writeFile(join(desktop, '.hidden'), 'h');
    const burrowd = await BurrowdClient.start(build.programs().burrowd, { env, desktop, stash });
    t.after(() => burrowd.stop());
    assert.notDeepEqual(burrowd.desktopIdentity, burrowd.stashIdentity);

    assert.deepEqual(await burrowd.list('desktop'), ['.hidden', 'notes.txt']);
    assert.equal(await burrowd.readJournal(), null);
    const identity = await burrowd.stat('desktop', 'notes.txt');
    assert.ok(identity);
    assert.equal(await burrowd.stat('desktop', 'missing'), null);

    await burrowd.writeJournal('{"moving":"notes.txt"}');
    await burrowd.move({ side: 'desktop', name: 'notes.txt' }, { side: 'stash', name: 'notes.txt' }, identity);
    assert.deepEqual(await burrowd.stat('stash', 'notes.txt'), identity);
    assert.deepEqual(await burrowd.list('stash'), ['.manifest.json', 'notes.txt']);
    assert.equal(await burrowd.readJournal(), '{"moving":"notes.txt"}');
  });

  test('refusals carry Burrowd’s message', async (t) => {
    const { desktop, stash, env } = await folders(t);
    await writeFile(join(desktop, 'a'), 'a');
    await writeFile(join(desktop, 'b'), 'b');
    await writeFile(join(stash, 'a'), 'older a');
    const burrowd = await BurrowdClient.start(build.programs().burrowd, { env, desktop, stash });
    t.after(() => burrowd.stop());
    const a = await burrowd.stat('desktop', 'a');
    const b = await burrowd.stat('desktop', 'b');
    assert.ok(a && b);

    await assert.rejects(burrowd.move({ side: 'desktop', name: 'a' }, { side: 'stash', name: 'a2' }, b), {
      kind: 'refused',
      message: 'Burrowd: move: Move source identity changed',
    });
    await assert.rejects(burrowd.move({ side: 'desktop', name: 'a' }, { side: 'stash', name: 'a' }, a), {
      kind: 'refused',
      message: /^Burrowd: move: exclusive move: errno 17 /,
    });
    await assert.rejects(burrowd.move({ side: 'desktop', name: 'a' }, { side: 'stash', name: '../a' }, a), {
      kind: 'refused',
      message: 'Burrowd: move: Invalid basename',
    });
    assert.deepEqual(await burrowd.list('desktop'), ['a', 'b'], 'nothing moved');
  });

  test('start-up refusals: the same folder twice, and folders another Burrowd holds', async (t) => {
    const { desktop, stash, env } = await folders(t);
    const program = build.programs().burrowd;
    await assert.rejects(BurrowdClient.start(program, { env, desktop, stash: desktop }), {
      kind: 'start',
      message: `Burrowd: cannot use ${desktop} and ${desktop}: Desktop and stash must differ`,
    });
    const holder = await BurrowdClient.start(program, { env, desktop, stash });
    t.after(() => holder.stop());
    await assert.rejects(BurrowdClient.start(program, { env, desktop, stash }), {
      kind: 'start',
      message: /: lock desktop \(another stash operation may be active\): errno \d+/,
    });
  });

  test('stop ends Burrowd cleanly', async (t) => {
    const { desktop, stash, env } = await folders(t);
    const burrowd = await BurrowdClient.start(build.programs().burrowd, { env, desktop, stash });
    const ended = new Promise((resolve) => burrowd.onExit(resolve));
    await burrowd.stop();
    assert.deepEqual(await ended, { code: 0, signal: null });
    await assert.rejects(burrowd.list('desktop'), { kind: 'exited' });
  });
});
