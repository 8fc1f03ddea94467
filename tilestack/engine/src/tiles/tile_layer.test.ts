import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { CompanionError, type PositionUpdate } from '../companions/contracts.ts';
import { layoutBoard } from '../board.ts';
import { EngineFailure } from '../failure.ts';
import type { Drawing, Look, Tile } from '../game.ts';
import type { FileIdentity, TileWatch } from '../keeper.ts';
import { FakeIcons } from '../test_fixtures/fake_icons.ts';
import { readPng } from '../test_fixtures/read_png.ts';
import { LookLibrary } from './look_library.ts';
import { TileLayer } from './tile_layer.ts';
import { isTileName } from './tile_names.ts';

const red: Look = { fill: '#ff0000' };
const blue: Look = { fill: '#0000ff', shape: 'round' };

class RecordingWatch implements TileWatch {
  readonly events: string[] = [];
  readonly listed = new Map<string, FileIdentity>();
  readonly expected: string[] = [];
  expecting(tilePath: string): void {
    this.expected.push(tilePath);
  }
  created(tilePath: string, identity: FileIdentity): void {
    this.events.push(`created ${path.basename(tilePath).length}`);
    this.listed.set(tilePath, identity);
  }
  removed(tilePath: string): void {
    this.events.push('removed');
    this.listed.delete(tilePath);
  }
}

function setUp(t: { after: (fn: () => void) => void }) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'tile-layer-'));
  t.after(() => fs.rmSync(home, { recursive: true, force: true }));
  const desktop = path.join(home, 'Desktop');
  const cache = path.join(home, 'cache');
  fs.mkdirSync(desktop);
  fs.mkdirSync(cache);
  const icons = new FakeIcons();
  const board = layoutBoard({ cols: 5, rows: 5, iconSize: 64 }, icons.metrics);
  const watch = new RecordingWatch();
  const reports: unknown[] = [];
  const layer = new TileLayer({ icons, board, desktop, looks: new LookLibrary(icons, cache, 64), watch, report: (problem) => reports.push(problem) });
  const desktopFiles = (): string[] => fs.readdirSync(desktop);
  const pathOf = (key: string): string => {
    const position = icons.callsOf('position').flatMap(([updates]) => updates as PositionUpdate[]);
    const tilePath = [...position].reverse().find((update) => layer.tileAt(update.path) === key)?.path;
    assert.ok(tilePath, `a placed tile for ${key}`);
    return tilePath;
  };
  return { icons, board, desktop, cache, watch, reports, layer, desktopFiles, pathOf };
}

function tile(key: string, col: number, row: number, look: Look = red): Tile {
  return { key, look, col, row };
}

function lastPosition(icons: FakeIcons): PositionUpdate[] {
  const calls = icons.callsOf('position');
  return (calls.at(-1)?.[0] ?? []) as PositionUpdate[];
}

test('new tiles: one template per look, a copy per tile, all placed in one position call', async (t) => {
  const { icons, board, desktop, cache, watch, reports, layer, desktopFiles } = setUp(t);
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0), tile('c', 2, 3, blue)] });

  assert.deepEqual(reports, []);
  // Templates are made in the cache and given their look's PNG.
  const templateIcons = icons.callsOf('iconSetPath') as [string, string][];
  assert.equal(templateIcons.length, 2);
  for (const [template, image] of templateIcons) {
    assert.equal(path.dirname(template), cache);
    assert.equal(path.dirname(image), cache);
  }
  const blueImage = templateIcons.map(([, image]) => readPng(fs.readFileSync(image))).find((png) => png.pixels[0] === 0);
  assert.ok(blueImage && blueImage.width === 64 && blueImage.pixels[32 * 64 * 4 + 32 * 4 + 2] === 255, 'the round look is blue');

  const copies = icons.callsOf('templateCopy') as [string, string][];
  assert.equal(copies.length, 3);
  for (const [template, tilePath] of copies) {
    assert.ok(templateIcons.some(([made]) => made === template));
    assert.equal(path.dirname(tilePath), desktop);
    assert.ok(isTileName(path.basename(tilePath)));
  }
  assert.equal(desktopFiles().length, 3);
  assert.deepEqual(watch.events, ['created 14', 'created 14', 'created 14']);
  // The keeper hears of every tile before Glyphon makes its file.
  assert.deepEqual(watch.expected, copies.map(([, tilePath]) => tilePath));
  for (const [tilePath, identity] of watch.listed) {
    const stat = fs.lstatSync(tilePath, { bigint: true });
    assert.deepEqual(identity, { dev: String(stat.dev), ino: String(stat.ino) });
  }

  assert.equal(icons.callsOf('position').length, 1);
  const placed = lastPosition(icons);
  assert.deepEqual(
    placed.map((update) => [layer.tileAt(update.path), update.x, update.y, update.duration]),
    [
      ['a', board.centreOf({ col: 0, row: 0 }).x, board.centreOf({ col: 0, row: 0 }).y, undefined],
      ['b', board.centreOf({ col: 1, row: 0 }).x, board.centreOf({ col: 1, row: 0 }).y, undefined],
      ['c', board.centreOf({ col: 2, row: 3 }).x, board.centreOf({ col: 2, row: 3 }).y, undefined],
    ],
  );
  // Clicks name a tile by path or by file name.
  const first = placed[0]?.path ?? '';
  assert.equal(layer.tileAt(path.basename(first)), 'a');
  assert.equal(layer.tileAt('/elsewhere/file'), null);
});

test('moves go out in one position call with the motion; unchanged tiles are left alone', async (t) => {
  const { icons, layer, board } = setUp(t);
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0), tile('c', 2, 0)] });
  icons.calls.length = 0;

  await layer.show({ tiles: [tile('a', 0, 1), tile('b', 1, 0), tile('c', 3, 0)], motion: { duration: 0.2, easing: 'linear' } });
  assert.deepEqual(
    icons.calls.map((call) => call.method),
    ['position'],
  );
  assert.deepEqual(
    lastPosition(icons).map((update) => [layer.tileAt(update.path), update.x, update.y, update.duration, update.easing]),
    [
      ['a', board.centreOf({ col: 0, row: 1 }).x, board.centreOf({ col: 0, row: 1 }).y, 0.2, 'linear'],
      ['c', board.centreOf({ col: 3, row: 0 }).x, board.centreOf({ col: 3, row: 0 }).y, 0.2, 'linear'],
    ],
  );

  // The same drawing again asks nothing of Glyphon.
  icons.calls.length = 0;
  await layer.show({ tiles: [tile('a', 0, 1), tile('b', 1, 0), tile('c', 3, 0)] });
  assert.deepEqual(icons.calls, []);
});

test('a look change sets the new image on the tile itself', async (t) => {
  const { icons, layer, pathOf } = setUp(t);
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0)] });
  const tileA = pathOf('a');
  icons.calls.length = 0;

  await layer.show({ tiles: [tile('a', 0, 0, { fill: '#00ff00', text: '5' }), tile('b', 1, 0)] });
  assert.deepEqual(icons.calls.map((call) => call.method), ['iconSetPath']);
  const [tilePath, image] = icons.callsOf('iconSetPath')[0] as [string, string];
  assert.equal(tilePath, tileA);
  const png = readPng(fs.readFileSync(image));
  assert.deepEqual([...png.pixels.subarray(0, 4)], [0, 255, 0, 255]);

  // Back to the first look: its own image, not the green one.
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0)] });
  const [, again] = icons.callsOf('iconSetPath')[1] as [string, string];
  assert.ok(fs.existsSync(again));
  assert.notEqual(again, image);
});

test('a removed tile loses its file, after its running motion is cancelled', async (t) => {
  const { icons, layer, watch, desktopFiles, pathOf } = setUp(t);
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0, blue)] });
  const doomed = pathOf('b');
  // b's move answers only when the test says: it is still animating.
  const finishMove = icons.hold('position');
  void layer.show({ tiles: [tile('a', 0, 0), tile('b', 2, 0, blue)], motion: { duration: 1 } });
  await layer.show({ tiles: [tile('a', 0, 0)] });
  finishMove();

  const methods = icons.calls.map((call) => call.method);
  assert.deepEqual(methods.slice(methods.lastIndexOf('positionCancel')), ['positionCancel']);
  assert.deepEqual(icons.callsOf('positionCancel'), [[[doomed]]]);
  assert.equal(fs.existsSync(doomed), false);
  assert.equal(desktopFiles().length, 1);
  assert.deepEqual(watch.events.slice(-1), ['removed']);
  assert.equal(layer.tileCount, 1);
});

test('a tile that goes while one of the same look arrives keeps its file and jumps', async (t) => {
  const { icons, layer, desktopFiles, pathOf } = setUp(t);
  await layer.show({ tiles: [tile('tail', 0, 0), tile('neck', 1, 0)] });
  const tailFile = pathOf('tail');
  icons.calls.length = 0;

  await layer.show({ tiles: [tile('neck', 1, 0), tile('head', 2, 0)], motion: { duration: 0.1 } });
  assert.deepEqual(icons.calls.map((call) => call.method), ['position']);
  assert.deepEqual(lastPosition(icons).map((update) => [update.path, update.duration]), [[tailFile, undefined]]);
  assert.equal(layer.tileAt(tailFile), 'head');
  assert.equal(desktopFiles().length, 2);
});

test('drawings that arrive while one is applied are coalesced to the newest', async (t) => {
  const { icons, layer, board } = setUp(t);
  const release = icons.hold('templateCopy');
  const first = layer.show({ tiles: [tile('a', 0, 0)] });
  const second = layer.show({ tiles: [tile('a', 1, 1)] });
  const third = layer.show({ tiles: [tile('a', 2, 2)] });
  release();
  await Promise.all([first, second, third]);

  const placed = icons.callsOf('position').map(([updates]) => (updates as PositionUpdate[]).map((update) => [update.x, update.y]));
  const at = (col: number, row: number): number[] => [board.centreOf({ col, row }).x, board.centreOf({ col, row }).y];
  assert.deepEqual(placed, [[at(0, 0)], [at(2, 2)]]);
  assert.equal(icons.callsOf('templateCopy').length, 1);
});

test('Glyphon’s failures are reported, and what failed is tried again with the next drawing', async (t) => {
  const { icons, layer, reports, desktopFiles } = setUp(t);
  const refusal = new CompanionError('Glyphon', 'refused', 'template_copy: disk full');
  icons.failWith('templateCopy', () => refusal);
  await layer.show({ tiles: [tile('a', 0, 0)] });
  assert.deepEqual(reports, [refusal]);
  assert.equal(layer.tileCount, 0);

  icons.failWith('templateCopy', null);
  await layer.show({ tiles: [tile('a', 0, 0)] });
  assert.equal(layer.tileCount, 1);
  assert.equal(desktopFiles().length, 1);

  // A refused position: the tiles are placed again next time, even without a move.
  const busy = new CompanionError('Glyphon', 'refused', 'Position still owned by user or unreadable');
  icons.failWith('position', () => busy);
  await layer.show({ tiles: [tile('a', 1, 0)] });
  await waitForReports(reports, 2);
  assert.equal(reports[1], busy);
  icons.failWith('position', null);
  const before = icons.callsOf('position').length;
  await layer.show({ tiles: [tile('a', 1, 0)] });
  assert.equal(icons.callsOf('position').length, before + 1);

  // A "failed" receipt does the same.
  icons.receiptStatus = () => 'failed';
  await layer.show({ tiles: [tile('a', 2, 0)] });
  await waitForReports(reports, 3);
  icons.receiptStatus = () => 'completed';
  await layer.show({ tiles: [tile('a', 2, 0)] });
  assert.equal(icons.callsOf('position').length, before + 3);
});

test('drawings a game cannot mean are reported as the game’s failure', async (t) => {
  const { layer, reports } = setUp(t);
  const drawings: Drawing[] = [
    { tiles: [tile('a', 0, 0), tile('a', 1, 0)] },
    { tiles: [tile('a', 0.5, 0)] },
    { tiles: [tile('a', 0, 0, { fill: 'crimson' })] },
    { tiles: [tile('a', 0, 0)], motion: { duration: -1 } },
  ];
  for (const drawing of drawings) await layer.show(drawing);
  assert.equal(reports.length, drawings.length);
  for (const report of reports) assert.ok(report instanceof EngineFailure && report.kind === 'game', String(report));
});

test('removeAll clears the Desktop, including a file Glyphon made without answering', async (t) => {
  const { icons, layer, desktopFiles, watch, reports } = setUp(t);
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0)] });
  // Glyphon makes the next file but its answer never comes in time.
  icons.failWith('templateCopy', ([, tilePath]) => {
    fs.writeFileSync(tilePath as string, '');
    return new CompanionError('Glyphon', 'timeout', 'no answer to template_copy');
  });
  await layer.show({ tiles: [tile('a', 0, 0), tile('b', 1, 0), tile('c', 2, 0, blue)] });
  assert.equal(desktopFiles().length, 3);
  assert.equal(reports.length, 1);

  assert.deepEqual(await layer.removeAll(true), []);
  assert.deepEqual(desktopFiles(), []);
  assert.equal(watch.listed.size, 0);
  // Drawings after the end are ignored.
  await layer.show({ tiles: [tile('d', 0, 0)] });
  assert.deepEqual(desktopFiles(), []);
});

async function waitForReports(reports: unknown[], count: number): Promise<void> {
  const { waitFor } = await import('../test_fixtures/wait_for.ts');
  await waitFor(`${count} reports`, () => reports.length >= count);
}
