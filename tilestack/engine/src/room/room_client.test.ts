// The room client against the reference room server, started in this process.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { signInThroughPage, startTestRoomd, type RoomdFixture } from '../../../rooms/src/testing/roomd_fixture.ts';
import type { RoomdOptions } from '../../../rooms/src/roomd.ts';
import { RoomClient, RoomFailure, connectionLost, parseServerMessage, type RoomEvent, type RoomRequest } from './room_client.ts';

async function withRoomd(options: Partial<RoomdOptions>, run: (fixture: RoomdFixture) => Promise<void>): Promise<void> {
  const fixture = await startTestRoomd(options);
  try {
    await run(fixture);
  } finally {
    await fixture.close();
  }
}

function request(fixture: RoomdFixture, overrides: Partial<RoomRequest> = {}): RoomRequest {
  return { url: fixture.ws, token: null, code: 'swift-falcon-42', game: 'four', players: 2, log: () => {}, ...overrides };
}

// Events as they come, for the test to wait on.
function collect(client: RoomClient): { events: RoomEvent[]; next(): Promise<RoomEvent> } {
  const events: RoomEvent[] = [];
  let taken = 0;
  let wake: (() => void) | null = null;
  client.onEvent((event) => {
    events.push(event);
    wake?.();
  });
  return {
    events,
    async next() {
      while (events.length <= taken) await new Promise<void>((resolve) => (wake = resolve));
      return events[taken++]!;
    },
  };
}

test('the first player opens the room and hosts it; the second joins; messages go both ways', async () => {
  await withRoomd({}, async (fixture) => {
    const red = await RoomClient.join(request(fixture, { token: await signInThroughPage(fixture.base, 'Ada', 'ada@example.com') }));
    const yellow = await RoomClient.join(request(fixture, { token: await signInThroughPage(fixture.base, 'Bob', 'bob@example.com') }));
    assert.deepEqual(red.seat, { code: 'swift-falcon-42', seat: 0, host: true, players: 2, members: [{ seat: 0, name: 'Ada' }] });
    assert.deepEqual(yellow.seat.members, [{ seat: 0, name: 'Ada' }, { seat: 1, name: 'Bob' }]);

    const atRed = collect(red);
    const atYellow = collect(yellow);
    assert.deepEqual(await atRed.next(), { kind: 'joined', seat: 1, name: 'Bob' });
    red.send({ drop: 3 });
    yellow.send({ drop: 4 });
    assert.deepEqual(await atYellow.next(), { kind: 'message', from: 0, data: { drop: 3 } });
    assert.deepEqual(await atRed.next(), { kind: 'message', from: 1, data: { drop: 4 } });

    await yellow.leave();
    assert.deepEqual(await atRed.next(), { kind: 'left', seat: 1, name: 'Bob', reason: 'left' });
    await red.leave();
  });
});

test('the room ending, or the server going away, reaches the game as the room closing', async () => {
  await withRoomd({ guests: true }, async (fixture) => {
    const host = await RoomClient.join(request(fixture));
    const guest = await RoomClient.join(request(fixture));
    const atGuest = collect(guest);
    await host.leave();
    assert.deepEqual(await atGuest.next(), { kind: 'closed', reason: 'The host left the room.' });
  });

  const fixture = await startTestRoomd({ guests: true });
  const player = await RoomClient.join(request(fixture));
  const events = collect(player);
  await fixture.close();
  assert.deepEqual(await events.next(), { kind: 'closed', reason: connectionLost });
});

test('a seat that cannot be had is a failure with the server\'s reason', async () => {
  await withRoomd({}, async (fixture) => {
    await assert.rejects(RoomClient.join(request(fixture)), (error) => error instanceof RoomFailure && error.kind === 'refused' && /Sign in to play online/.test(error.message));
  });
  await withRoomd({ guests: true }, async (fixture) => {
    await RoomClient.join(request(fixture));
    await RoomClient.join(request(fixture));
    await assert.rejects(RoomClient.join(request(fixture)), (error) => error instanceof RoomFailure && error.kind === 'refused' && /is full/.test(error.message));
  });
  const gone = await startTestRoomd();
  const url = gone.ws;
  await gone.close();
  await assert.rejects(RoomClient.join({ url, token: null, code: 'swift-falcon-42', game: 'four', players: 2, log: () => {} }), (error) => error instanceof RoomFailure && error.kind === 'connect');
});

test('server messages the engine cannot use are refused whole', () => {
  const cases: [string, boolean][] = [
    ['{"type":"message","seq":3,"from":1,"data":{"drop":2}}', true],
    ['{"type":"message","from":1}', false],
    ['{"type":"message","from":-1,"data":1}', false],
    ['{"type":"left","seat":1,"name":"Bob","reason":"gone"}', false],
    ['{"type":"welcome","code":"a","seat":0,"host":true,"players":2,"members":[{"seat":0}]}', false],
    ['{"type":"closed"}', false],
    ['not json', false],
  ];
  for (const [text, usable] of cases) assert.equal(parseServerMessage(text) !== null, usable, text);
});
