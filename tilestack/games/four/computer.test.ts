import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { chooseColumn } from './computer.ts';
import { seededRandom } from '@tilestack/engine/testing';
import { gridOf } from './grid_picture.ts';

// The computer plays "o" in every position below.
const positions: { name: string; picture: string; columns: number[] }[] = [
  {
    name: 'takes an immediate win along a row',
    picture: '....... ....... ....... ....... xx..... xxooo..',
    columns: [5],
  },
  {
    name: 'takes an immediate win up a column',
    picture: '....... ....... ....... o...... o..x... o..xx.x',
    columns: [0],
  },
  {
    name: 'takes an immediate win along a diagonal',
    picture: '....... ....... ....... ..ox... .oxx... oxxxo..',
    columns: [3],
  },
  {
    name: 'takes its own win rather than blocking one',
    picture: '....... ....... ....... ....... ....... xxx.ooo',
    columns: [3],
  },
  {
    name: 'blocks an immediate threat along a row',
    picture: '....... ....... ....... ....... ....... oxxx.o.',
    columns: [4],
  },
  {
    name: 'blocks an immediate threat up a column',
    picture: '....... ....... ....... ......x ......x o.o...x',
    columns: [6],
  },
  {
    name: 'sets a two-move trap: three open at both ends',
    picture: '....... ....... ....... ....... ......x ..oo..x',
    columns: [1, 4],
  },
  // Only a search of four plies sees that letting "x" make three open at both ends loses.
  {
    name: 'stops the trap being set against it',
    picture: '....... ....... ....... ....... o...... o.xx...',
    columns: [1, 4],
  },
];

describe('chooseColumn', () => {
  for (const { name, picture, columns } of positions) {
    test(name, () => {
      const grid = gridOf(picture.replaceAll(' ', '\n'));
      for (const seed of [1, 2, 3]) {
        const col = chooseColumn(grid, 2, seededRandom(seed));
        assert.ok(col !== null && columns.includes(col), `seed ${seed} chose ${col}, not one of ${columns.join(', ')}`);
      }
    });
  }

  test('plays the same for the same seed', () => {
    const grid = gridOf('....... ....... ....... ....... ...x... ..ox...'.replaceAll(' ', '\n'));
    for (const seed of [5, 6, 7]) assert.equal(chooseColumn(grid, 2, seededRandom(seed)), chooseColumn(grid, 2, seededRandom(seed)));
  });

  test('has no column on a full board', () => {
    const full = gridOf('xxooxxo ooxxoox xxooxxo ooxxoox xxooxxo ooxxoox'.replaceAll(' ', '\n'));
    assert.equal(chooseColumn(full, 2, seededRandom(1)), null);
  });
});
