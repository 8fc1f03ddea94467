import assert from 'node:assert/strict';
import { test } from 'node:test';
import { parseIconPositions } from './icon_positions.ts';

test('icon positions: centres by file name, the first of two equal names, bad lines skipped', () => {
  const text = [
    'a.txt\t132\t239\t64\t77',
    'tab\tname.png\t10\t20\t64\t64',
    'a.txt\t900\t900\t64\t64',
    'broken\tx\t1\t64\t64',
    'short\t1\t2',
    '',
    'b\t-5\t0\t64\t64',
  ].join('\n');
  assert.deepEqual(
    parseIconPositions(text),
    new Map([
      ['a.txt', { x: 132, y: 239 }],
      ['tab\tname.png', { x: 10, y: 20 }],
      ['b', { x: -5, y: 0 }],
    ]),
  );
  assert.deepEqual(parseIconPositions(''), new Map());
});
