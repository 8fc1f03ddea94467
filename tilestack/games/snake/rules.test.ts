import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { seededRandom } from '@tilestack/engine/testing';
import { advance, newRound, placeFood, queueTurn, type Direction, type Round, type Spot } from './rules.ts';

// A round on a cols × rows board with the snake on `cells`, head first.
function roundWith(options: { cols: number; rows: number; cells: [number, number][]; heading: Direction; food?: Spot | null }): Round {
  return {
    cols: options.cols,
    rows: options.rows,
    segments: options.cells.map(([col, row], i) => ({ key: i === 0 ? 'head' : `body-${i}`, col, row })),
    heading: options.heading,
    turns: [],
    food: options.food ?? null,
    phase: 'playing',
    eaten: 0,
    nextSegment: options.cells.length,
  };
}

const neverCalled = (): number => assert.fail('no food should be placed');

function cellsOf(round: Round): [number, number][] {
  return round.segments.map((segment) => [segment.col, segment.row]);
}

describe('queueTurn', () => {
  const heading: Direction = 'right';
  const cases: { name: string; queued: Direction[]; press: Direction; expected: Direction[] }[] = [
    { name: 'a quarter turn is queued', queued: [], press: 'up', expected: ['up'] },
    { name: 'the current heading is ignored', queued: [], press: 'right', expected: [] },
    { name: 'a reversal into the neck is ignored', queued: [], press: 'left', expected: [] },
    { name: 'a second quarter turn queues behind the first', queued: ['up'], press: 'left', expected: ['up', 'left'] },
    { name: 'a reversal of the last queued turn is ignored', queued: ['up'], press: 'down', expected: ['up'] },
    { name: 'a full queue takes no more', queued: ['up', 'left', 'down'], press: 'right', expected: ['up', 'left', 'down'] },
  ];
  for (const { name, queued, press, expected } of cases) {
    test(name, () => {
      const round = { ...roundWith({ cols: 10, rows: 10, cells: [[5, 5], [4, 5], [3, 5]], heading }), turns: queued };
      assert.deepEqual(queueTurn(round, press).turns, expected);
    });
  }
});

describe('advance', () => {
  test('a plain move carries the tail segment to the neck and keeps every key', () => {
    const round = roundWith({ cols: 10, rows: 10, cells: [[5, 5], [4, 5], [3, 5]], heading: 'right', food: { col: 0, row: 0 } });
    const { round: moved, outcome } = advance(round, neverCalled);
    assert.equal(outcome, 'moved');
    assert.deepEqual(moved.segments, [
      { key: 'head', col: 6, row: 5 },
      { key: 'body-2', col: 5, row: 5 },
      { key: 'body-1', col: 4, row: 5 },
    ]);
  });

  test('two turns pressed within one tick are taken on two moves, so a quick U-turn works', () => {
    let round = roundWith({ cols: 10, rows: 10, cells: [[5, 5], [4, 5], [3, 5]], heading: 'right' });
    round = queueTurn(queueTurn(round, 'up'), 'left');
    round = advance(round, neverCalled).round;
    assert.deepEqual(cellsOf(round), [[5, 4], [5, 5], [4, 5]]);
    const last = advance(round, neverCalled);
    assert.equal(last.outcome, 'moved');
    assert.equal(last.round.heading, 'left');
    assert.deepEqual(cellsOf(last.round), [[4, 4], [5, 4], [5, 5]]);
  });

  test('eating grows the snake by a new segment at the neck and places new food off the snake', () => {
    const round = roundWith({ cols: 4, rows: 1, cells: [[1, 0], [0, 0]], heading: 'right', food: { col: 2, row: 0 } });
    const { round: grown, outcome } = advance(round, () => 0);
    assert.equal(outcome, 'ate');
    assert.deepEqual(grown.segments, [
      { key: 'head', col: 2, row: 0 },
      { key: 'body-2', col: 1, row: 0 },
      { key: 'body-1', col: 0, row: 0 },
    ]);
    assert.equal(grown.eaten, 1);
    assert.deepEqual(grown.food, { col: 3, row: 0 });
  });

  test('eating the last free cell fills the board and ends the round', () => {
    const round = roundWith({ cols: 3, rows: 1, cells: [[1, 0], [0, 0]], heading: 'right', food: { col: 2, row: 0 } });
    const { round: full, outcome } = advance(round, () => 0);
    assert.equal(outcome, 'filled');
    assert.equal(full.phase, 'filled');
    assert.equal(full.food, null);
  });

  const crashes: { name: string; cells: [number, number][]; heading: Direction }[] = [
    { name: 'into the left wall', cells: [[0, 2], [1, 2]], heading: 'left' },
    { name: 'into the right wall', cells: [[4, 2], [3, 2]], heading: 'right' },
    { name: 'into the top wall', cells: [[2, 0], [2, 1]], heading: 'up' },
    { name: 'into the bottom wall', cells: [[2, 4], [2, 3]], heading: 'down' },
    { name: 'into its own body', cells: [[2, 2], [2, 3], [3, 3], [3, 2], [3, 1]], heading: 'right' },
  ];
  for (const { name, cells, heading } of crashes) {
    test(`crashes ${name}`, () => {
      const { round, outcome } = advance(roundWith({ cols: 5, rows: 5, cells, heading }), neverCalled);
      assert.equal(outcome, 'crashed');
      assert.equal(round.phase, 'crashed');
      assert.deepEqual(cellsOf(round), cells, 'a crash leaves the snake where it was');
    });
  }

  test('moving into the cell its tail is leaving is no crash', () => {
    const round = roundWith({ cols: 5, rows: 5, cells: [[2, 2], [2, 3], [3, 3], [3, 2]], heading: 'right' });
    const { round: moved, outcome } = advance(round, neverCalled);
    assert.equal(outcome, 'moved');
    assert.deepEqual(cellsOf(moved), [[3, 2], [2, 2], [2, 3], [3, 3]]);
  });
});

describe('placeFood', () => {
  test('never places food on the snake, whatever the random source says', () => {
    const taken: Spot[] = [];
    for (let col = 0; col < 3; col++) for (let row = 0; row < 3; row++) if (col !== 1 || row !== 2) taken.push({ col, row });
    for (const draw of [0, 0.3, 0.999]) assert.deepEqual(placeFood(3, 3, taken, () => draw), { col: 1, row: 2 });
  });

  test('a full board has no place for food', () => {
    assert.equal(placeFood(2, 1, [{ col: 0, row: 0 }, { col: 1, row: 0 }], () => 0.5), null);
  });

  test('a new round puts its food off the snake, for many seeds', () => {
    for (let seed = 1; seed <= 200; seed++) {
      const round = newRound(6, 4, seededRandom(seed));
      const food = round.food;
      assert.ok(food !== null);
      assert.ok(!round.segments.some((s) => s.col === food.col && s.row === food.row), `seed ${seed}`);
    }
  });
});
