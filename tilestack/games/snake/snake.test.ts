import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import type { Drawing, GameInput, KeyName } from '@tilestack/engine';
import { fakeContext } from '@tilestack/engine/testing';
import type { Direction, Round } from './rules.ts';
import { snakeGame } from './snake.ts';

function key(name: KeyName): GameInput {
  return { kind: 'key', key: name, keyCode: 0, char: '' };
}

function headOf(round: Round): { col: number; row: number } {
  const head = round.segments[0];
  assert.ok(head !== undefined);
  return { col: head.col, row: head.row };
}

// Tiles added, removed, moved or restyled from one drawing to the next.
function changedTiles(before: Drawing, after: Drawing): number {
  const earlier = new Map(before.tiles.map((tile) => [tile.key, JSON.stringify(tile)]));
  let changed = 0;
  for (const tile of after.tiles) {
    if (earlier.get(tile.key) !== JSON.stringify(tile)) changed++;
    earlier.delete(tile.key);
  }
  return changed + earlier.size;
}

const reverseOf: Record<Direction, Direction> = { left: 'right', right: 'left', up: 'down', down: 'up' };

// Steers toward the food, turning aside when the food lies straight behind.
function chase(round: Round): Direction {
  const head = headOf(round);
  const food = round.food ?? head;
  const wanted: Direction[] = [];
  if (food.col !== head.col) wanted.push(food.col < head.col ? 'left' : 'right');
  if (food.row !== head.row) wanted.push(food.row < head.row ? 'up' : 'down');
  const aside: Direction = round.heading === 'left' || round.heading === 'right' ? (head.row > 0 ? 'up' : 'down') : head.col > 0 ? 'left' : 'right';
  return wanted.find((direction) => direction !== reverseOf[round.heading]) ?? aside;
}

test('checkArgs refuses online play by name', () => {
  assert.equal(snakeGame.checkArgs(['join', 'ABCD']), 'snake is played solo only, but was started with join ABCD.');
  assert.equal(snakeGame.checkArgs(['solo']), null);
});

describe('layout', () => {
  // The engine puts icons 1.25 icon sizes apart below a 24-point menu bar; the walls take a
  // cell on every side.
  const screens = [
    { width: 1024, height: 640 },
    { width: 1440, height: 900 },
    { width: 1920, height: 1080 },
    { width: 2560, height: 1440 },
    { width: 6016, height: 3384 },
  ];
  for (const screen of screens) {
    test(`a ${screen.width} × ${screen.height} screen gets a board that fits, fills it, and stays small`, () => {
      const board = snakeGame.layout({ ...screen, iconSize: 64 });
      const pitch = Math.round(board.iconSize * 1.25);
      assert.ok(board.cols * board.rows <= 400, `${board.cols} × ${board.rows} cells`);
      assert.ok(board.iconSize >= 32 && board.iconSize <= 128, `icon size ${board.iconSize}`);
      assert.ok((board.cols + 2) * pitch <= screen.width && (board.rows + 2) * pitch <= screen.height - 24, 'fits with its walls');
      assert.ok((board.cols + 2) * pitch >= screen.width * 0.6 && (board.rows + 2) * pitch >= screen.height * 0.5, 'fills the screen');
    });
  }
});

describe('step', () => {
  test('the snake waits for an arrow key; a reversal does not start it', () => {
    const context = fakeContext(12, 8);
    let round = snakeGame.start(context);
    const start = headOf(round);
    round = snakeGame.step(round, [], context);
    round = snakeGame.step(round, [key('left')], context);
    assert.equal(round.phase, 'ready');
    assert.deepEqual(headOf(round), start);
    round = snakeGame.step(round, [key('up')], context);
    assert.equal(round.phase, 'playing');
    assert.deepEqual(headOf(round), { col: start.col, row: start.row - 1 });
    assert.deepEqual(context.played, ['start']);
  });

  test('Escape leaves only once the round is over, and Return plays a fresh round', () => {
    const context = fakeContext(5, 3);
    let round = snakeGame.step(snakeGame.start(context), [key('return')], context);
    round = snakeGame.step(round, [key('escape')], context);
    assert.equal(context.left, false);
    while (round.phase === 'playing') round = snakeGame.step(round, [], context);
    assert.equal(round.phase, 'crashed');
    assert.equal(context.played.at(-1), 'crash');
    round = snakeGame.step(round, [key('return')], context);
    assert.equal(round.phase, 'playing');
    assert.equal(round.segments.length, 3);
    assert.equal(context.played.at(-1), 'start');
    assert.equal(context.left, false);
    while (round.phase === 'playing') round = snakeGame.step(round, [], context);
    snakeGame.step(round, [key('escape')], context);
    assert.equal(context.left, true);
  });
});

describe('draw', () => {
  test('keys are unique and a move changes at most three tiles, over a whole round of chasing food', () => {
    const context = fakeContext(14, 9, 7);
    let round = snakeGame.step(snakeGame.start(context), [key('return')], context);
    let drawing = snakeGame.draw(round, context.board);
    for (let tick = 0; tick < 500 && round.phase === 'playing'; tick++) {
      round = snakeGame.step(round, [key(chase(round))], context);
      const next = snakeGame.draw(round, context.board);
      const keys = next.tiles.map((tile) => tile.key);
      assert.equal(new Set(keys).size, keys.length, 'unique keys');
      if (round.phase === 'playing') assert.ok(changedTiles(drawing, next) <= 3, `tick ${tick}: ${changedTiles(drawing, next)} tiles changed`);
      drawing = next;
    }
    assert.ok(round.segments.length > 6, 'the snake grew along the way');
  });

  test('the walls enclose the board exactly', () => {
    const context = fakeContext(4, 3);
    const walls = snakeGame.draw(snakeGame.start(context), context.board).tiles.filter((tile) => tile.key.startsWith('wall'));
    const cells = new Set(walls.map((tile) => `${tile.col},${tile.row}`));
    assert.equal(cells.size, walls.length);
    assert.equal(walls.length, 2 * (4 + 2) + 2 * 3);
    for (const tile of walls) assert.ok(tile.col === -1 || tile.col === 4 || tile.row === -1 || tile.row === 3);
  });
});
