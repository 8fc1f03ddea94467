import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { completesLine, drop, emptyGrid, isFull, landingRow, winningSpots, type Spot } from './board.ts';
import { gridOf } from './grid_picture.ts';

describe('drop', () => {
  const partly = gridOf(`
    ...x...
    ...o...
    ...x...
    ...o...
    ...x..o
    .x.o..x
  `);
  const cases: { name: string; col: number; row: number | null }[] = [
    { name: 'an empty column fills from the bottom', col: 0, row: 5 },
    { name: 'a disc lands on the one below', col: 1, row: 4 },
    { name: 'on a taller stack', col: 6, row: 3 },
    { name: 'a full column takes no disc', col: 3, row: null },
    { name: 'a column left of the board', col: -1, row: null },
    { name: 'a column right of the board', col: 7, row: null },
  ];
  for (const { name, col, row } of cases) {
    test(name, () => {
      assert.equal(landingRow(partly, col), row);
      const dropped = drop(partly, col, 2);
      if (row === null) return assert.equal(dropped, null);
      assert.ok(dropped !== null);
      assert.equal(dropped.row, row);
      assert.equal(dropped.grid[row * 7 + col], 2);
      assert.deepEqual(dropped.grid.filter((disc) => disc !== 0).length, partly.filter((disc) => disc !== 0).length + 1);
    });
  }
});

describe('lines', () => {
  const wins: { name: string; picture: string; last: Spot; line: [number, number][] }[] = [
    {
      name: 'a row',
      picture: '....... ....... ....... ....... ....... .oxxxxo',
      last: { col: 3, row: 5 },
      line: [[2, 5], [3, 5], [4, 5], [5, 5]],
    },
    {
      name: 'a column',
      picture: '....... ....... ...o... ...o... ...o... x..o.xx',
      last: { col: 3, row: 2 },
      line: [[3, 2], [3, 3], [3, 4], [3, 5]],
    },
    {
      name: 'a diagonal rising to the right',
      picture: '....... ....... ...x... ..xo... .xoo... xooxo..',
      last: { col: 0, row: 5 },
      line: [[0, 5], [1, 4], [2, 3], [3, 2]],
    },
    {
      name: 'a diagonal falling to the right',
      picture: '....... ....... ...x... ...ox.. ...oox. .oxxoox',
      last: { col: 6, row: 5 },
      line: [[3, 2], [4, 3], [5, 4], [6, 5]],
    },
    {
      name: 'a row of five, all of it',
      picture: '....... ....... ....... ....... ....... oxxxxxo',
      last: { col: 3, row: 5 },
      line: [[1, 5], [2, 5], [3, 5], [4, 5], [5, 5]],
    },
    {
      name: 'a row and a column crossing at the last disc',
      picture: '....... ....... ...x... ...x... ...x... xxxxooo',
      last: { col: 3, row: 5 },
      line: [[0, 5], [1, 5], [2, 5], [3, 2], [3, 3], [3, 4], [3, 5]],
    },
  ];
  for (const { name, picture, last, line } of wins) {
    test(`wins along ${name}`, () => {
      const grid = gridOf(picture.replaceAll(' ', '\n'));
      assert.equal(completesLine(grid, last.col, last.row), true);
      assert.deepEqual(winningSpots(grid, last.col, last.row).map((spot) => [spot.col, spot.row]), line);
    });
  }

  test('three in a row, or four broken by a gap or the other colour, is no win', () => {
    const grid = gridOf(`
      .......
      .......
      x......
      x......
      xo.....
      oxxxoxx
    `);
    for (let col = 0; col < 7; col++) {
      for (let row = 0; row < 6; row++) assert.equal(completesLine(grid, col, row), false, `${col},${row}`);
    }
    assert.deepEqual(winningSpots(grid, 2, 5), []);
    assert.deepEqual(winningSpots(grid, 3, 3), [], 'an empty cell is in no line');
  });

  test('a board is full only when every cell holds a disc', () => {
    const full = gridOf('xxooxxo ooxxoox xxooxxo ooxxoox xxooxxo ooxxoox'.replaceAll(' ', '\n'));
    assert.equal(isFull(full), true);
    assert.equal(isFull(emptyGrid()), false);
    assert.equal(isFull(full.map((disc, i) => (i === 0 ? 0 : disc))), false);
  });
});
