import { test } from 'node:test';
import assert from 'node:assert/strict';
import { isRoomCode, roomCodeAt } from './room_codes.ts';

test('only codes of the two word lists and a number from 10 to 99 are room codes', () => {
  const cases: [string, boolean][] = [
    ['swift-falcon-42', true],
    ['bolt-grid-10', true],
    ['cosmic-nova-99', true],
    ['swift-falcon-09', false],
    ['swift-falcon-100', false],
    ['swift-falcon-4', false],
    ['Swift-falcon-42', false],
    ['falcon-swift-42', false],
    ['swift-falcon', false],
    [' swift-falcon-42', false],
    ['swift-falcon-42\n', false],
    ['', false],
  ];
  for (const [text, expected] of cases) assert.equal(isRoomCode(text), expected, JSON.stringify(text));
});

test('the indexed codes are all distinct room codes', () => {
  const codes = Array.from({ length: 9000 }, (_, index) => roomCodeAt(index));
  assert.ok(codes.every(isRoomCode));
  assert.equal(new Set(codes).size, codes.length);
});
