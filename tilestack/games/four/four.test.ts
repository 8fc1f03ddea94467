import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import type { Drawing, GameInput, KeyName, Tile } from '@tilestack/engine';
import { cols, type Player } from './board.ts';
import { fakeContext, type FakeContext } from '@tilestack/engine/testing';
import { fourGame } from './four.ts';
import { gridOf } from './grid_picture.ts';
import { computer, newMatch, person, type Match, type Placed } from './match.ts';

function key(name: KeyName): GameInput {
  return { kind: 'key', key: name, keyCode: 0, char: '' };
}

function click(cell: { col: number; row: number } | null, tile: string | null = null): GameInput {
  return { kind: 'click', cell, tile, point: { x: 0, y: 0 }, right: false };
}

// A match in the middle of play, from a picture of its grid ("x" the person, "o" the computer).
function matchOf(picture: string, turn: Player = person): Match {
  const grid = gridOf(picture.replaceAll(' ', '\n'));
  const placed: Placed[] = [];
  grid.forEach((disc, index) => {
    if (disc !== 0) placed.push({ col: index % cols, row: Math.floor(index / cols), player: disc });
  });
  return { ...newMatch(person), grid, placed, turn };
}

function play(match: Match, inputs: GameInput[], context: FakeContext): Match {
  return fourGame.step(match, inputs, context);
}

// Steps with no input until the computer has dropped its disc; it never takes long.
function awaitComputer(match: Match, context: FakeContext): Match {
  let next = match;
  for (let tick = 0; next.turn === computer && next.ending === null; tick++) {
    assert.ok(tick < 100, 'the computer moves within 100 ticks');
    next = play(next, [], context);
  }
  return next;
}

function tileAt(drawing: Drawing, col: number, row: number): Tile | undefined {
  return drawing.tiles.find((tile) => tile.col === col && tile.row === row);
}

describe('checkArgs', () => {
  const cases: { args: string[]; message: string | null }[] = [
    { args: [], message: null },
    { args: ['solo'], message: null },
    { args: ['join', 'swift-falcon-42'], message: null },
    { args: ['join'], message: 'four is played solo, or online with "join" and a room code, but was started with join.' },
    { args: ['host'], message: 'four is played solo, or online with "join" and a room code, but was started with host.' },
    { args: ['solo', 'extra'], message: 'four is played solo, or online with "join" and a room code, but was started with solo extra.' },
  ];
  for (const { args, message } of cases) {
    test(`[${args.join(', ')}]`, () => assert.equal(fourGame.checkArgs(args), message));
  }
});

test('the board is 7 × 6 with room above for the marker on every screen', () => {
  for (const screen of [
    { width: 1024, height: 640 },
    { width: 1440, height: 900 },
    { width: 5120, height: 2880 },
  ]) {
    const board = fourGame.layout({ ...screen, iconSize: 64 });
    assert.deepEqual([board.cols, board.rows], [7, 6]);
    assert.ok(8 * Math.round(board.iconSize * 1.25) <= screen.height - 24, `${board.iconSize} on ${screen.height}`);
  }
});

describe('playing', () => {
  test('Left and Right move the marker within the board, with a sound only when it moves', () => {
    const context = fakeContext(7, 6);
    let match = fourGame.start(context);
    assert.equal(match.marker, 3);
    match = play(match, [key('left'), key('left'), key('left'), key('left')], context);
    assert.equal(match.marker, 0);
    assert.deepEqual(context.played, ['move', 'move', 'move']);
    match = play(match, Array.from({ length: 9 }, () => key('right')), context);
    assert.equal(match.marker, 6);
  });

  test('Return drops at the marker and the computer answers with a disc of its own', () => {
    const context = fakeContext(7, 6);
    let match = play(fourGame.start(context), [key('right'), key('return')], context);
    assert.deepEqual(match.placed, [{ col: 4, row: 5, player: person }]);
    assert.equal(match.turn, computer);
    match = play(match, [key('left'), key('return')], context);
    assert.equal(match.marker, 4, 'the person cannot move during the computer turn');
    match = awaitComputer(match, context);
    assert.equal(match.placed.length, 2);
    assert.equal(match.placed[1]?.player, computer);
    assert.equal(match.turn, person);
    assert.deepEqual(context.played.filter((sound) => sound === 'drop'), ['drop', 'drop']);
  });

  const clicks: { name: string; input: GameInput; col: number }[] = [
    { name: 'a cell of the column', input: click({ col: 1, row: 0 }, 'hole-1-0'), col: 1 },
    { name: 'the marker above the board', input: click(null, 'disc-1'), col: 3 },
    { name: 'a disc in the column', input: click(null, 'disc-0'), col: 6 },
  ];
  for (const { name, input, col } of clicks) {
    test(`a click on ${name} drops there`, () => {
      const context = fakeContext(7, 6);
      const match = play(matchOf('....... ....... ....... ....... ....... ......o'), [input], context);
      assert.deepEqual(match.placed.at(-1), { col, row: col === 6 ? 4 : 5, player: person });
    });
  }

  test('a full column takes no disc and keeps the turn', () => {
    const context = fakeContext(7, 6);
    const before = matchOf('o...... x...... o...... x...... o...... x......');
    const after = play(before, [click({ col: 0, row: 3 })], context);
    assert.deepEqual(after.placed, before.placed);
    assert.equal(after.turn, person);
    assert.deepEqual(context.played, ['full']);
  });
});

describe('the end of a game', () => {
  test('a win shows the winning discs, and then Escape leaves', () => {
    const context = fakeContext(7, 6);
    const match = play({ ...matchOf('....... ....... ....... ....... ....... oxxx.oo'), marker: 4 }, [key('escape'), key('return')], context);
    assert.equal(context.left, false, 'Escape is ignored during a game');
    assert.deepEqual(match.ending?.kind, 'won');
    assert.deepEqual(context.played, ['drop', 'win']);
    const drawing = fourGame.draw(match, context.board);
    for (const col of [1, 2, 3, 4]) assert.equal(tileAt(drawing, col, 5)?.look.shape, 'square', `winning disc in column ${col}`);
    for (const col of [0, 5, 6]) assert.equal(tileAt(drawing, col, 5)?.look.shape, 'round', `other disc in column ${col}`);
    assert.ok(drawing.tiles.every((tile) => tile.row >= 0), 'no marker once the game is over');
    play(match, [key('left'), key('escape')], context);
    assert.equal(context.left, true);
  });

  test('a computer win plays the losing sound', () => {
    const context = fakeContext(7, 6);
    const match = awaitComputer(matchOf('....... ....... ....... ....... x...... xxx.ooo', computer), context);
    assert.equal(match.ending?.kind === 'won' && match.ending.winner, computer);
    assert.deepEqual(context.played.slice(-2), ['drop', 'lose']);
  });

  test('filling the board without a line is a draw', () => {
    const context = fakeContext(7, 6);
    const match = play({ ...matchOf('.xooxxo ooxxoox xxooxxo ooxxoox xxooxxo ooxxoox'), marker: 0 }, [key('return')], context);
    assert.deepEqual(match.ending, { kind: 'draw' });
    assert.deepEqual(context.played, ['drop', 'draw']);
  });

  test('Return after a game starts an empty board with the other side first', () => {
    const context = fakeContext(7, 6);
    const won = play({ ...matchOf('....... ....... ....... ....... ....... oxxx.oo'), marker: 4 }, [key('return')], context);
    const again = play(won, [key('return')], context);
    assert.equal(again.ending, null);
    assert.deepEqual(again.placed, []);
    assert.equal(again.turn, computer);
    assert.equal(awaitComputer(again, context).placed.length, 1, 'the computer opens');
  });
});

describe('draw', () => {
  test('the marker is the next disc: dropping moves its tile into place and removes the hole there', () => {
    const context = fakeContext(7, 6);
    const start = fourGame.start(context);
    const before = fourGame.draw(start, context.board);
    const marker = before.tiles.find((tile) => tile.row === -1);
    assert.ok(marker !== undefined);
    assert.equal(before.tiles.length, 42 + 1);
    const dropped = play(start, [key('return')], context);
    const after = fourGame.draw(dropped, context.board);
    assert.equal(tileAt(after, 3, 5)?.key, marker.key);
    assert.equal(after.tiles.filter((tile) => tile.key.startsWith('hole')).length, 41);
    const next = after.tiles.find((tile) => tile.row === -1);
    assert.ok(next !== undefined && next.key !== marker.key && next.look.fill !== marker.look.fill);
    assert.equal(new Set(after.tiles.map((tile) => tile.key)).size, after.tiles.length);
  });

  test('a disc takes longer to fall to the bottom than onto a tall stack', () => {
    const context = fakeContext(7, 6);
    const deep = play(fourGame.start(context), [key('return')], context);
    const shallow = play(matchOf('....... x...... o...... x...... o...... x......'), [key('left'), key('left'), key('left'), key('return')], context);
    const fall = (match: Match): number => fourGame.draw(match, context.board).motion?.duration ?? 0;
    assert.ok(fall(shallow) > 0 && fall(deep) > fall(shallow));
  });
});
