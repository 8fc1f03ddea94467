import assert from 'node:assert/strict';
import { test } from 'node:test';
import type { GameInput, KeyName, RoomEvent, RoomSeat } from '@tilestack/engine';
import { fakeContext, type FakeContext } from '@tilestack/engine/testing';
import { cols } from './board.ts';
import { fourGame } from './four.ts';
import type { Match } from './match.ts';

function key(name: KeyName): GameInput {
  return { kind: 'key', key: name, keyCode: 0, char: '' };
}

function room(event: RoomEvent): GameInput {
  return { kind: 'room', event };
}

// One side of an online game: its context, its match, and a step that keeps both.
class Side {
  readonly context: FakeContext;
  match: Match;
  #delivered = 0;

  constructor(seat: number, members: number) {
    const roomSeat: RoomSeat = {
      code: 'swift-falcon-42', seat, host: seat === 0, players: 2,
      members: Array.from({ length: members }, (_, index) => ({ seat: index, name: `Player ${index + 1}` })),
    };
    this.context = fakeContext(cols, 6, 1, ['join', 'swift-falcon-42'], roomSeat);
    this.match = fourGame.start(this.context);
  }

  step(...inputs: GameInput[]): this {
    this.match = fourGame.step(this.match, inputs, this.context);
    return this;
  }

  // What this side sent since the last call, as the room hands it to the other side.
  relayTo(other: Side, from: number): void {
    const fresh = this.context.sent.slice(this.#delivered);
    this.#delivered = this.context.sent.length;
    other.step(...fresh.map((data) => room({ kind: 'message', from, data })));
  }
}

function tableOfTwo(): { host: Side; guest: Side } {
  const host = new Side(0, 1);
  const guest = new Side(1, 2);
  host.step(room({ kind: 'joined', seat: 1, name: 'Player 2' }));
  return { host, guest };
}

test('the host plays red and waits for the opponent before anyone moves', () => {
  const host = new Side(0, 1);
  assert.equal(host.match.me, 1);
  host.step(key('return'));
  assert.equal(host.match.placed.length, 0, 'no drop before the opponent is here');
  host.step(room({ kind: 'joined', seat: 1, name: 'Player 2' }), key('return'));
  assert.equal(host.match.placed.length, 1);
  assert.deepEqual(host.context.sent, [{ drop: 3 }]);
});

test('both players see every aim and drop, and each moves only on their turn', () => {
  const { host, guest } = tableOfTwo();
  assert.equal(guest.match.me, 2);
  guest.step(key('return'));
  assert.equal(guest.match.placed.length, 0, 'not the guest\'s turn');

  host.step(key('left'), key('left'), key('return'));
  host.relayTo(guest, 0);
  assert.deepEqual(guest.match.placed, host.match.placed);
  assert.equal(guest.match.placed[0]?.col, 1);

  guest.step(key('right'), key('return'));
  guest.relayTo(host, 1);
  assert.deepEqual(host.match.placed, guest.match.placed);
  assert.deepEqual(host.match.grid, guest.match.grid);
  assert.equal(host.match.turn, 1);
});

test('a win on one desktop is a loss on the other; Return on either starts the next game for both', () => {
  const { host, guest } = tableOfTwo();
  // Red fills column 0 from the bottom, yellow column 1.
  for (let turn = 0; turn < 4; turn += 1) {
    host.step(key('left'), key('left'), key('left'), key('return'));
    host.relayTo(guest, 0);
    if (turn < 3) {
      guest.step(key('left'), key('left'), key('left'), key('right'), key('return'));
      guest.relayTo(host, 1);
    }
  }
  assert.equal(host.match.ending?.kind === 'won' && host.match.ending.winner, 1);
  assert.deepEqual(guest.match.ending, host.match.ending);
  assert.ok(host.context.played.includes('win'));
  assert.ok(guest.context.played.includes('lose'));

  guest.step(key('return'));
  guest.relayTo(host, 1);
  assert.equal(host.match.ending, null);
  assert.equal(guest.match.ending, null);
  assert.equal(host.match.turn, 2, 'yellow starts the second game');
  assert.equal(guest.match.turn, 2);
});

test('the game is over when the opponent leaves or the room ends; Escape then leaves', () => {
  const events: RoomEvent[] = [
    { kind: 'left', seat: 1, name: 'Player 2', reason: 'dropped' },
    { kind: 'closed', reason: 'The host left the room.' },
  ];
  for (const event of events) {
    const { host } = tableOfTwo();
    host.step(room(event));
    assert.deepEqual(host.match.ending, { kind: 'abandoned' }, event.kind);
    host.step(key('return'));
    assert.deepEqual(host.match.ending, { kind: 'abandoned' }, 'no next game without an opponent');
    host.step(key('escape'));
    assert.equal(host.context.left, true);
  }
});

test('messages that are no move, or moves out of turn, change nothing', () => {
  const { host, guest } = tableOfTwo();
  const before = guest.match;
  for (const data of [null, 'drop', { drop: 7 }, { drop: -1 }, { drop: 1.5 }, { aim: '2' }, { again: 'yes' }, { again: true }]) {
    guest.step(room({ kind: 'message', from: 0, data }));
  }
  assert.deepEqual(guest.match, { ...before, lastAction: 'none' });
  host.step(room({ kind: 'message', from: 1, data: { drop: 2 } }));
  assert.equal(host.match.placed.length, 0, 'a drop out of the opponent\'s turn');
});
