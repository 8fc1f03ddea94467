import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { seededRandom } from '@tilestack/engine/testing';
import { isSolvable, isSolved, shuffledGrid, slideTileAt, slideToward, solvedGrid, type Direction, type Grid, type Spot } from './rules.ts';

// The gap in the middle, at column 1 of row 1:
//    1  2  3  4
//    5  _  6  7
//    8  9 10 11
//   12 13 14 15
const middleGap: Grid = [1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15];
// The gap in the top left corner.
const cornerGap: Grid = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15];

function tileAt(grid: Grid, spot: Spot): number | undefined {
  return grid[spot.row * 4 + spot.col];
}

describe('slideToward', () => {
  // The tile that slides lies on the far side of the gap from where the arrow points.
  const cases: { grid: Grid; direction: Direction; tile: number | null }[] = [
    { grid: middleGap, direction: 'left', tile: 6 },
    { grid: middleGap, direction: 'right', tile: 5 },
    { grid: middleGap, direction: 'up', tile: 9 },
    { grid: middleGap, direction: 'down', tile: 2 },
    { grid: cornerGap, direction: 'right', tile: null },
    { grid: cornerGap, direction: 'down', tile: null },
    { grid: cornerGap, direction: 'left', tile: 1 },
    { grid: cornerGap, direction: 'up', tile: 4 },
  ];
  for (const { grid, direction, tile } of cases) {
    test(`${direction} with the gap at ${grid.indexOf(0)} ${tile === null ? 'moves nothing' : `slides ${tile}`}`, () => {
      const next = slideToward(grid, direction);
      if (tile === null) return assert.equal(next, null);
      assert.ok(next !== null);
      assert.equal(next.indexOf(tile), grid.indexOf(0), 'the tile is where the gap was');
      assert.equal(next.indexOf(0), grid.indexOf(tile), 'the gap is where the tile was');
    });
  }
});

describe('slideTileAt', () => {
  const cases: { name: string; spot: Spot; moves: boolean }[] = [
    { name: 'the tile left of the gap', spot: { col: 0, row: 1 }, moves: true },
    { name: 'the tile right of the gap', spot: { col: 2, row: 1 }, moves: true },
    { name: 'the tile above the gap', spot: { col: 1, row: 0 }, moves: true },
    { name: 'the tile below the gap', spot: { col: 1, row: 2 }, moves: true },
    { name: 'a diagonal neighbour', spot: { col: 2, row: 2 }, moves: false },
    { name: 'a tile two cells away in line', spot: { col: 3, row: 1 }, moves: false },
    { name: 'the gap itself', spot: { col: 1, row: 1 }, moves: false },
    { name: 'a cell off the board', spot: { col: 1, row: -1 }, moves: false },
  ];
  for (const { name, spot, moves } of cases) {
    test(`${name} ${moves ? 'slides' : 'stays'}`, () => {
      const next = slideTileAt(middleGap, spot);
      if (!moves) return assert.equal(next, null);
      assert.ok(next !== null);
      assert.equal(tileAt(next, { col: 1, row: 1 }), tileAt(middleGap, spot));
      assert.equal(tileAt(next, spot), 0);
    });
  }
});

describe('solved and solvable', () => {
  test('only the grid in order with the gap last is solved', () => {
    assert.equal(isSolved(solvedGrid()), true);
    assert.equal(isSolved(cornerGap), false);
    assert.equal(isSolved([...solvedGrid().slice(0, 13), 15, 14, 0]), false);
  });

  const positions: { name: string; grid: Grid; solvable: boolean }[] = [
    { name: 'the solved grid', grid: solvedGrid(), solvable: true },
    { name: 'one legal move away', grid: middleGap, solvable: true },
    // Every tile shifted one place along: an odd permutation with the gap an even distance away.
    { name: 'the gap first and the tiles in reading order', grid: cornerGap, solvable: false },
    { name: '14 and 15 swapped (the famous impossible one)', grid: [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0], solvable: false },
    { name: 'two tiles swapped with the gap elsewhere', grid: [2, 1, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15], solvable: false },
  ];
  for (const { name, grid, solvable } of positions) {
    test(`${name} is ${solvable ? '' : 'not '}solvable`, () => assert.equal(isSolvable(grid), solvable));
  }

  test('shuffles are solvable, unsolved, well mixed, and repeat for a seed', () => {
    for (let seed = 1; seed <= 100; seed++) {
      const grid = shuffledGrid(seededRandom(seed));
      assert.deepEqual([...grid].sort((a, b) => a - b), [...solvedGrid()].sort((a, b) => a - b), `seed ${seed}: a permutation`);
      assert.ok(isSolvable(grid), `seed ${seed}: solvable`);
      assert.ok(!isSolved(grid), `seed ${seed}: not solved`);
      const inPlace = grid.filter((tile, i) => tile !== 0 && tile === i + 1).length;
      assert.ok(inPlace < 8, `seed ${seed}: ${inPlace} tiles still at home`);
    }
    assert.deepEqual(shuffledGrid(seededRandom(42)), shuffledGrid(seededRandom(42)));
  });

  test('a shuffle never ends solved, even when asked for no moves', () => {
    assert.ok(!isSolved(shuffledGrid(seededRandom(3), 0)));
  });
});
