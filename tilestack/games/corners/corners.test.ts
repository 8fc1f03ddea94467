import assert from 'node:assert/strict';
import { test } from 'node:test';
import type { GameInput, KeyName, RoomEvent } from '@tilestack/engine';
import { fakeContext, type FakeContext } from '@tilestack/engine/testing';
import { cornersGame, players } from './corners.ts';
import { canClaim, size } from './rules.ts';
import type { Table } from './table.ts';

function key(name: KeyName): GameInput {
  return { kind: 'key', key: name, keyCode: 0, char: '' };
}

function room(event: RoomEvent): GameInput {
  return { kind: 'room', event };
}

// Four desktops at one table; what one sends, the room hands to the other three in order.
class Tabletop {
  readonly contexts: FakeContext[] = [];
  readonly tables: Table[] = [];
  readonly #delivered = [0, 0, 0, 0];

  constructor() {
    for (let seat = 0; seat < players; seat += 1) {
      const members = Array.from({ length: seat + 1 }, (_, index) => ({ seat: index, name: `Player ${index + 1}` }));
      const context = fakeContext(size, size, 1, ['join', 'swift-falcon-42'], { code: 'swift-falcon-42', seat, host: seat === 0, players, members });
      this.contexts.push(context);
      this.tables.push(cornersGame.start(context));
      for (let earlier = 0; earlier < seat; earlier += 1) this.step(earlier, room({ kind: 'joined', seat, name: `Player ${seat + 1}` }));
    }
  }

  step(seat: number, ...inputs: GameInput[]): void {
    this.tables[seat] = cornersGame.step(this.tables[seat]!, inputs, this.contexts[seat]!);
    const sent = this.contexts[seat]!.sent;
    const fresh = sent.slice(this.#delivered[seat]);
    this.#delivered[seat] = sent.length;
    for (let other = 0; other < players; other += 1) {
      if (other === seat || fresh.length === 0) continue;
      this.step(other, ...fresh.map((data) => room({ kind: 'message', from: seat, data })));
    }
  }
}

test('only ("join", code) starts corners', () => {
  assert.equal(cornersGame.checkArgs(['join', 'swift-falcon-42']), null);
  assert.equal(cornersGame.checkArgs([]), 'corners is played online only, with "join" and a room code, but was started with no arguments.');
  assert.equal(cornersGame.checkArgs(['solo']), 'corners is played online only, with "join" and a room code, but was started with solo.');
  assert.deepEqual(cornersGame.online, { players: 4 });
});

test('play waits for all four seats, then every claim shows on every desktop', () => {
  const aloneContext = fakeContext(size, size, 1, ['join', 'swift-falcon-42'], { code: 'swift-falcon-42', seat: 0, host: true, players, members: [{ seat: 0, name: 'a' }] });
  const alone = cornersGame.step(cornersGame.start(aloneContext), [key('right'), key('return')], aloneContext);
  assert.equal(alone.squares.filter((owner) => owner !== null).length, 4, 'nothing happens before the table is full');
  const tabletop = new Tabletop();

  tabletop.step(0, key('right'), key('return'));
  tabletop.step(1, key('left'), key('return'));
  tabletop.step(2, key('up'), key('return'));
  tabletop.step(3, key('down'), key('return'), key('right'), key('return'));
  for (const table of tabletop.tables) assert.deepEqual(table.squares, tabletop.tables[0]!.squares);
  assert.equal(tabletop.tables[0]!.squares.filter((owner) => owner !== null).length, 8);
  assert.equal(tabletop.tables[0]!.turn, 0);
});

test('out-of-turn keys, bad claims and strangers\' messages change nothing', () => {
  const tabletop = new Tabletop();
  const before = tabletop.tables.map((table) => table.squares);
  tabletop.step(1, key('return'));
  tabletop.step(0, key('down'), key('right'), key('return'));
  assert.ok(tabletop.contexts[0]!.played.includes('nope'), 'a square not beside one\'s own');
  tabletop.step(2, room({ kind: 'message', from: 1, data: { claim: { col: 5, row: 0 } } }));
  tabletop.step(2, room({ kind: 'message', from: 0, data: { claim: { col: 9, row: 0 } } }));
  assert.deepEqual(tabletop.tables.map((table) => table.squares), before);
});

test('a game ends when no one can claim; Return starts the next for everyone; a leaver ends play', () => {
  const tabletop = new Tabletop();
  for (let rounds = 0; rounds < 200 && tabletop.tables[0]!.turn !== null; rounds += 1) {
    const seat = tabletop.tables[0]!.turn!;
    const free = tabletop.tables[seat]!.squares.findIndex((_, index) => canClaim(tabletop.tables[seat]!.squares, seat, { col: index % size, row: Math.floor(index / size) }));
    tabletop.step(seat, { kind: 'click', cell: { col: free % size, row: Math.floor(free / size) }, tile: null, point: { x: 0, y: 0 }, right: false });
  }
  assert.ok(tabletop.tables.every((table) => table.turn === null && table.squares.every((owner) => owner !== null)));
  assert.ok(tabletop.contexts.some((context) => context.played.includes('win')));

  tabletop.step(2, key('return'));
  assert.ok(tabletop.tables.every((table) => table.turn === 1 && table.squares.filter((owner) => owner !== null).length === 4));

  tabletop.step(0, room({ kind: 'left', seat: 3, name: 'Player 4', reason: 'dropped' }));
  tabletop.step(0, key('return'));
  assert.equal(tabletop.tables[0]!.abandoned, true);
  assert.equal(tabletop.tables[0]!.turn, 1, 'no next game without all four');
  tabletop.step(0, key('escape'));
  assert.equal(tabletop.contexts[0]!.left, true);
});
