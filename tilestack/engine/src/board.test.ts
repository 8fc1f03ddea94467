import { test } from 'node:test';
import assert from 'node:assert/strict';
import { layoutBoard, menuBarHeight } from './board.ts';
import { EngineFailure } from './failure.ts';

const screen = { width: 1440, height: 900, iconSize: 64 };

test('a board that fits keeps its icon size and is centred below the menu bar', () => {
  const board = layoutBoard({ cols: 4, rows: 3, iconSize: 64 }, screen);
  assert.equal(board.iconSize, 64);
  assert.equal(board.pitch, 80);
  // 4 × 80 = 320 wide: left edge at (1440 − 320) / 2 = 560; 3 × 80 = 240 high: top edge at
  // 24 + (876 − 240) / 2 = 342.
  assert.deepEqual(board.centreOf({ col: 0, row: 0 }), { x: 600, y: 382 });
  assert.deepEqual(board.centreOf({ col: 3, row: 2 }), { x: 840, y: 542 });
  // Cells outside the board still have a place (a piece waiting above a column).
  assert.deepEqual(board.centreOf({ col: 1, row: -1 }), { x: 680, y: 302 });
  assert.equal(board.metrics, screen);
});

test('cellAt is the inverse of centreOf and null off the board', () => {
  const board = layoutBoard({ cols: 4, rows: 3, iconSize: 64 }, screen);
  for (let row = 0; row < 3; row += 1) {
    for (let col = 0; col < 4; col += 1) {
      const centre = board.centreOf({ col, row });
      assert.deepEqual(board.cellAt(centre), { col, row });
      assert.deepEqual(board.cellAt({ x: centre.x - 40, y: centre.y + 39 }), { col, row }, 'cell edges');
    }
  }
  const cases = [
    { x: 559, y: 400 },
    { x: 880, y: 400 },
    { x: 600, y: 341 },
    { x: 600, y: 582 },
    { x: Number.NaN, y: 400 },
  ];
  for (const point of cases) assert.equal(board.cellAt(point), null, JSON.stringify(point));
});

test('a board too large for the screen shrinks its pitch and icons to fit', () => {
  const cases = [
    { request: { cols: 30, rows: 10, iconSize: 64 }, pitch: 48, iconSize: 38 }, // too wide
    { request: { cols: 10, rows: 20, iconSize: 64 }, pitch: 43, iconSize: 34 }, // too tall
  ];
  for (const { request, pitch, iconSize } of cases) {
    const board = layoutBoard(request, screen);
    assert.equal(board.pitch, pitch);
    assert.equal(board.iconSize, iconSize);
    const first = board.centreOf({ col: 0, row: 0 });
    const last = board.centreOf({ col: request.cols - 1, row: request.rows - 1 });
    assert.ok(first.x - pitch / 2 >= 0 && last.x + pitch / 2 <= screen.width, 'fits across');
    assert.ok(first.y - pitch / 2 >= menuBarHeight && last.y + pitch / 2 <= screen.height, 'fits below the menu bar');
  }
});

test('impossible boards are board failures', () => {
  const cases = [
    { cols: 0, rows: 3, iconSize: 64 },
    { cols: 2.5, rows: 3, iconSize: 64 },
    { cols: 4, rows: 3, iconSize: 8 },
    { cols: 4, rows: 3, iconSize: 600 },
    { cols: 200, rows: 3, iconSize: 64 }, // would need icons below Finder's smallest
  ];
  for (const request of cases) {
    assert.throws(
      () => layoutBoard(request, screen),
      (error: unknown) => error instanceof EngineFailure && error.kind === 'board',
      JSON.stringify(request),
    );
  }
});
