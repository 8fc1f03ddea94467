// The client against the real Glyphon on a private simdesk.

import assert from 'node:assert/strict';
import { writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test, type TestContext } from 'node:test';
import { encodePng } from '../icons/png.ts';
import { lookUpBuild } from '../testing/build.ts';
import { pollUntil } from '../testing/poll.ts';
import { SimdeskSession } from '../testing/simdesk_session.ts';
import { CompanionError } from './contracts.ts';
import { GlyphonClient } from './glyphon.ts';
import type { MotionWrite } from './glyphon_protocol.ts';

const build = lookUpBuild();

async function startGlyphon(t: TestContext): Promise<{ glyphon: GlyphonClient; session: SimdeskSession }> {
  const programs = build.programs();
  const session = await SimdeskSession.start(programs);
  t.after(() => session.stop());
  const glyphon = await GlyphonClient.start(programs.glyphon, { env: session.env() });
  t.after(() => glyphon.stop());
  return { glyphon, session };
}

async function solidPng(folder: string, name: string): Promise<string> {
  const path = join(folder, name);
  await writeFile(path, encodePng({ width: 8, height: 8, pixels: new Uint8Array(8 * 8 * 4).fill(0xc0) }));
  return path;
}

describe('GlyphonClient with the real Glyphon', { skip: build.skip }, () => {
  test('the desktop view settings are read, changed and put back', async (t) => {
    const { glyphon, session } = await startGlyphon(t);
    assert.deepEqual(glyphon.metrics, { width: 1440, height: 900, iconSize: 64 });
    const saved = {
      iconSize: await glyphon.iconSize(),
      gridSpacing: await glyphon.gridSpacing(),
      arrangement: await glyphon.gridArrangement(),
      labels: await glyphon.desktopLabelsVisible(),
    };
    assert.deepEqual(saved, { iconSize: 64, gridSpacing: 64, arrangement: 'not arranged', labels: false });

    assert.equal(await glyphon.iconSizeSet(96), 96);
    assert.equal(await glyphon.gridSpacingSet(80), 80);
    assert.equal(await glyphon.gridArrangementSet('snap to grid'), 'snap to grid');
    assert.equal(await glyphon.desktopLabelsSet(true), true);
    const changed = (await session.state()).finder.iconViewOptions;
    assert.equal(changed['iconSize'], 96);
    assert.equal(changed['arrangement'], 'snap to grid');
    assert.equal(changed['showsItemInfo'], true);
    assert.equal(await glyphon.gridSpacing(), 80);

    await glyphon.iconSizeSet(saved.iconSize);
    await glyphon.gridSpacingSet(saved.gridSpacing);
    await glyphon.gridArrangementSet(saved.arrangement);
    await glyphon.desktopLabelsSet(saved.labels);
    const restored = (await session.state()).finder.iconViewOptions;
    assert.deepEqual([restored['iconSize'], restored['arrangement'], restored['showsItemInfo']], [64, 'not arranged', false]);
  });

  test('a tile is copied from an icon template and moved, and a newer move supersedes an older one', async (t) => {
    const { glyphon, session } = await startGlyphon(t);
    const motions: MotionWrite[][] = [];
    glyphon.onMotion((writes) => motions.push(writes));
    const template = join(session.tmp, 'red-template');
    await writeFile(template, '');
    await glyphon.iconSetPath(template, await solidPng(session.tmp, 'red.png'));
    const tile = join(session.desktop, 'tile-1');
    await glyphon.templateCopy(template, tile);
    assert.equal((await session.desktopItem('tile-1'))?.hasCustomIcon, true);
    assert.equal((await glyphon.iconGet(tile)).png?.subarray(1, 4).toString(), 'PNG');
    assert.ok((await glyphon.iconPositions()).has('tile-1'));

    const [placed] = await glyphon.position([{ path: tile, x: 200, y: 300 }]);
    assert.deepEqual(placed, { path: tile, generation: 1, status: 'completed', position: { x: 200, y: 300 } });

    // A slow move, overtaken by an immediate one; the answer of the first comes after the second was sent.
    const slow = glyphon.position([{ path: tile, x: 1000, y: 300, duration: 2, easing: 'linear' }]);
    await pollUntil('the slow move to start', async () => motions.some((writes) => writes.some((write) => write.position.x > 200)));
    const fast = await glyphon.position([{ path: tile, x: 500, y: 500 }]);
    assert.equal((await slow)[0]?.status, 'superseded');
    assert.deepEqual(fast[0]?.position, { x: 500, y: 500 });
    assert.deepEqual((await session.desktopItem('tile-1'))?.position, { x: 500, y: 500 });
    assert.deepEqual(motions.at(-1), [{ path: tile, position: { x: 500, y: 500 } }]);
  });

  test('Glyphon’s refusals and script errors reach the caller', async (t) => {
    const { glyphon, session } = await startGlyphon(t);
    const scriptErrors: string[] = [];
    glyphon.onScriptError((message) => scriptErrors.push(message));
    const tile = join(session.desktop, 'tile-1');
    await writeFile(tile, '');

    await assert.rejects(glyphon.iconSetPath(tile, join(session.tmp, 'missing.png')), { kind: 'refused', message: 'Glyphon: icon_set_path: Icon image not found' });
    await assert.rejects(glyphon.templateCopy(tile, tile), (error: unknown) => error instanceof CompanionError && error.kind === 'refused' && /^Glyphon: template_copy: /.test(error.message));

    await session.ctlOk(['finder', 'quit']);
    await assert.rejects(glyphon.iconSize(), { kind: 'refused', message: /Application isn’t running/ });
    assert.deepEqual(scriptErrors, ['Finder got an error: Application isn’t running.']);
  });

  test('covers come and go, and stop ends Glyphon', async (t) => {
    const { glyphon, session } = await startGlyphon(t);
    // Bottom-left-origin frames, in no particular order.
    const coverFrames = async (): Promise<Array<{ y: number }>> => {
      const windows = (await session.state())['windows'] as Array<{ frame: { y: number } }>;
      return windows.map((window) => window.frame).sort((a, b) => b.y - a.y);
    };
    await glyphon.coverSet('stage', { x: 0, y: 0, w: 100, h: 50 }, '#ff0000');
    await glyphon.coverSet('left', { x: 0, y: 100, w: 10, h: 10 }, '#00ff00');
    assert.deepEqual(await coverFrames(), [
      { x: 0, y: 850, w: 100, h: 50 },
      { x: 0, y: 790, w: 10, h: 10 },
    ]);
    await glyphon.coverClear('stage');
    assert.deepEqual(await coverFrames(), [{ x: 0, y: 790, w: 10, h: 10 }]);

    const ended = new Promise((resolve) => glyphon.onExit(resolve));
    await glyphon.stop();
    assert.deepEqual(await ended, { code: 0, signal: null });
    await assert.rejects(glyphon.iconSize(), { kind: 'exited' });
  });
});
