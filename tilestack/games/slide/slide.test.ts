import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import type { GameInput, KeyName, Tile } from '@tilestack/engine';
import { celebrationTicks } from './celebration.ts';
import { fakeContext } from '@tilestack/engine/testing';
import type { Puzzle } from './puzzle.ts';
import { isSolvable, isSolved, type Grid } from './rules.ts';
import { slideGame } from './slide.ts';

function key(name: KeyName): GameInput {
  return { kind: 'key', key: name, keyCode: 0, char: '' };
}

function click(cell: { col: number; row: number } | null, tile: string | null = null): GameInput {
  return { kind: 'click', cell, tile, point: { x: 0, y: 0 }, right: false };
}

// One move from solved: 15 sits in the gap's home, the gap left of it.
const oneMoveLeft: Grid = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15];

function puzzleOf(grid: Grid): Puzzle {
  return { grid, solvedTicks: null };
}

function tilesByKey(puzzle: Puzzle): Map<string, Tile> {
  return new Map(slideGame.draw(puzzle, fakeContext(4, 4).board).tiles.map((tile) => [tile.key, tile]));
}

test('checkArgs refuses online play by name', () => {
  assert.equal(slideGame.checkArgs(['join', 'ABCD']), 'slide is played solo only, but was started with join ABCD.');
  assert.equal(slideGame.checkArgs(['solo']), null);
});

test('the board is 4 × 4 and leaves room above it on every screen', () => {
  for (const screen of [
    { width: 1024, height: 640 },
    { width: 1440, height: 900 },
    { width: 5120, height: 2880 },
  ]) {
    const board = slideGame.layout({ ...screen, iconSize: 64 });
    assert.deepEqual([board.cols, board.rows], [4, 4]);
    assert.ok(board.iconSize >= 48 && board.iconSize <= 128);
    assert.ok(6 * Math.round(board.iconSize * 1.25) <= screen.height - 24, `${board.iconSize} on ${screen.height}`);
  }
});

describe('step', () => {
  const moves: { name: string; input: GameInput; moved: number | null }[] = [
    { name: 'an arrow toward the gap', input: key('left'), moved: 15 },
    { name: 'a click on the tile beside the gap, by its icon', input: click(null, 'tile-15'), moved: 15 },
    { name: 'a click on the cell beside the gap', input: click({ col: 1, row: 3 }), moved: 14 },
    { name: 'a click on the cell above the gap', input: click({ col: 2, row: 2 }), moved: 11 },
    { name: 'an arrow with no tile behind the gap', input: key('up'), moved: null },
    { name: 'a click on a tile far from the gap', input: click(null, 'tile-1'), moved: null },
  ];
  for (const { name, input, moved } of moves) {
    test(`${name} ${moved === null ? 'bumps' : `slides ${moved}`}`, () => {
      const context = fakeContext(4, 4);
      const before = puzzleOf(oneMoveLeft);
      const after = slideGame.step(before, [input], context);
      if (moved === null) {
        assert.deepEqual(after.grid, before.grid);
        assert.deepEqual(context.played, ['bump']);
        return;
      }
      assert.equal(after.grid.indexOf(moved), 14);
      assert.equal(context.played[0], 'slide');
    });
  }

  test('a click outside the board does nothing', () => {
    const context = fakeContext(4, 4);
    const after = slideGame.step(puzzleOf(oneMoveLeft), [click(null)], context);
    assert.deepEqual(after.grid, oneMoveLeft);
    assert.deepEqual(context.played, []);
  });

  test('solving celebrates, locks the board, and Escape then leaves', () => {
    const context = fakeContext(4, 4);
    let puzzle = slideGame.step(puzzleOf(oneMoveLeft), [key('escape')], context);
    assert.equal(context.left, false, 'Escape is ignored while unsolved');
    puzzle = slideGame.step(puzzle, [key('left')], context);
    assert.ok(isSolved(puzzle.grid));
    assert.deepEqual(context.played, ['slide', 'solved']);
    puzzle = slideGame.step(puzzle, [key('left'), click(null, 'tile-14')], context);
    assert.ok(isSolved(puzzle.grid), 'moves are ignored once solved');
    assert.deepEqual(context.played, ['slide', 'solved']);
    slideGame.step(puzzle, [key('escape')], context);
    assert.equal(context.left, true);
  });

  test('Return shuffles a new solvable puzzle, even a solved one', () => {
    const context = fakeContext(4, 4, 9);
    const solved = slideGame.step(puzzleOf(oneMoveLeft), [key('left')], context);
    const fresh = slideGame.step(solved, [key('return')], context);
    assert.equal(fresh.solvedTicks, null);
    assert.ok(!isSolved(fresh.grid) && isSolvable(fresh.grid));
    assert.equal(context.played.at(-1), 'shuffle');
  });
});

describe('draw', () => {
  test('a move changes the cell of exactly one tile and animates it', () => {
    const before = tilesByKey(puzzleOf(oneMoveLeft));
    const puzzle = slideGame.step(puzzleOf(oneMoveLeft), [key('down')], fakeContext(4, 4));
    const after = tilesByKey(puzzle);
    assert.equal(after.size, 15);
    assert.deepEqual([...after.keys()].sort(), [...before.keys()].sort());
    const changed = [...after].filter(([tileKey, tile]) => JSON.stringify(before.get(tileKey)) !== JSON.stringify(tile));
    assert.deepEqual(changed.map(([tileKey]) => tileKey), ['tile-11']);
    assert.ok((slideGame.draw(puzzle, fakeContext(4, 4).board).motion?.duration ?? 0) > 0);
  });

  test('each tile shows its number', () => {
    for (const [tileKey, tile] of tilesByKey(puzzleOf(oneMoveLeft))) assert.equal(`tile-${tile.look.text}`, tileKey);
  });

  test('a solved board sends a wave across: every column hops once up and lands again', () => {
    const context = fakeContext(4, 4);
    let puzzle = slideGame.step(puzzleOf(oneMoveLeft), [key('left')], context);
    const hopped = new Set<number>();
    for (let tick = 0; tick <= celebrationTicks + 1; tick++) {
      const tiles = [...tilesByKey(puzzle).values()];
      const up = new Set(tiles.filter((tile) => tile.row < Math.floor((Number(tile.look.text) - 1) / 4)).map((tile) => tile.col));
      assert.ok(up.size <= 1, 'one column at a time');
      for (const col of up) hopped.add(col);
      puzzle = slideGame.step(puzzle, [], context);
    }
    assert.deepEqual([...hopped].sort(), [0, 1, 2, 3]);
    for (const tile of tilesByKey(puzzle).values()) assert.equal(tile.row, Math.floor((Number(tile.look.text) - 1) / 4), 'all landed');
  });
});
