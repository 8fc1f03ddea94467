import assert from 'node:assert/strict';
import { test } from 'node:test';
import { canClaim, claim, counts, hasClaim, indexOf, nextTurn, size, startingSquares, winners, type Owner, type Seat, type Squares } from './rules.ts';

// A board from rows of "0"–"3" (a seat's square) and "." (free).
function boardOf(...rows: string[]): Squares {
  return rows.join('').split('').map((c): Owner => (c === '.' ? null : (Number(c) as Seat)));
}

test('each seat starts in its corner and may claim only free squares beside its own', () => {
  const squares = startingSquares();
  assert.deepEqual(counts(squares), [1, 1, 1, 1]);
  const cases: [Seat, number, number, boolean][] = [
    [0, 1, 0, true],
    [0, 0, 1, true],
    [0, 1, 1, false],
    [0, 0, 0, false],
    [1, size - 2, 0, true],
    [2, size - 1, size - 2, true],
    [3, 0, size - 2, true],
    [3, 1, 0, false],
    [0, -1, 0, false],
    [0, size, 0, false],
  ];
  for (const [seat, col, row, allowed] of cases) assert.equal(canClaim(squares, seat, { col, row }), allowed, `${seat} at ${col},${row}`);
});

test('a seat with nothing to claim is passed over, and the game ends when no one can claim', () => {
  const walledIn = boardOf(
    '01.....',
    '1......',
    '.......',
    '.......',
    '.......',
    '.......',
    '3.....2',
  );
  assert.equal(hasClaim(walledIn, 0), false);
  assert.equal(nextTurn(walledIn, 3), 1);

  const full = boardOf(...Array.from({ length: size }, (_, row) => (row < 4 ? '0001111' : '3332222')));
  assert.equal(nextTurn(full, 0), null);
  assert.deepEqual(counts(full), [12, 16, 12, 9]);
  assert.deepEqual(winners(full), [1]);
});

test('a claim takes one square for the seat', () => {
  const squares = claim(startingSquares(), 2, { col: size - 2, row: size - 1 });
  assert.equal(squares[indexOf({ col: size - 2, row: size - 1 })], 2);
  assert.deepEqual(counts(squares), [1, 1, 2, 1]);
  assert.deepEqual(winners(squares), [2]);
});
