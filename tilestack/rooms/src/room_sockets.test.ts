import { test } from 'node:test';
import assert from 'node:assert/strict';
import { defaultLimits } from './roomd.ts';
import { hostLeftReason, type ServerMessage } from './protocol.ts';
import { closeCodes } from './room_sockets.ts';
import { TestPlayer, signInThroughPage, startTestRoomd, type RoomdFixture } from './testing/roomd_fixture.ts';
import type { RoomdOptions } from './roomd.ts';

async function withRoomd(options: Partial<RoomdOptions>, run: (fixture: RoomdFixture, players: TestPlayer[]) => Promise<void>): Promise<void> {
  const fixture = await startTestRoomd(options);
  const players: TestPlayer[] = [];
  try {
    await run(fixture, players);
  } finally {
    for (const player of players) player.socket.terminate();
    await fixture.close();
  }
}

async function connect(fixture: RoomdFixture, players: TestPlayer[], token: string | null = null): Promise<TestPlayer> {
  const player = await TestPlayer.connect(fixture.ws, token);
  players.push(player);
  return player;
}

function errorKind(message: ServerMessage): string {
  assert.equal(message.type, 'error', JSON.stringify(message));
  return message.type === 'error' ? message.kind : '';
}

test('players are named by their accounts: the host opens the room and the others join it', async () => {
  await withRoomd({}, async (fixture, players) => {
    const adaToken = await signInThroughPage(fixture.base, 'Ada', 'ada@example.com');
    const bobToken = await signInThroughPage(fixture.base, 'Bob', 'bob@example.com');
    const ada = await connect(fixture, players, adaToken);
    const bob = await connect(fixture, players, bobToken);

    assert.deepEqual(await ada.join('swift-falcon-42'), {
      type: 'welcome', code: 'swift-falcon-42', game: 'four', players: 2, seat: 0, host: true, members: [{ seat: 0, name: 'Ada' }], seq: 1,
    });
    assert.deepEqual(await bob.join('swift-falcon-42', 2, false), {
      type: 'welcome', code: 'swift-falcon-42', game: 'four', players: 2, seat: 1, host: false,
      members: [{ seat: 0, name: 'Ada' }, { seat: 1, name: 'Bob' }], seq: 2,
    });
    assert.deepEqual(await ada.next(), { type: 'joined', seq: 2, seat: 1, name: 'Bob' });
  });
});

test('messages reach every other player in order, numbered in the room\'s sequence', async () => {
  await withRoomd({ guests: true }, async (fixture, players) => {
    const [a, b, c] = [await connect(fixture, players), await connect(fixture, players), await connect(fixture, players)];
    await a.join('neon-comet-10', 3);
    await b.join('neon-comet-10', 3);
    await c.join('neon-comet-10', 3);
    await a.next();
    await a.next();
    await b.next();
    for (let index = 0; index < 50; index += 1) a.send({ type: 'send', data: { n: index } });
    b.send({ type: 'send', data: 'from b' });

    const seen = async (player: TestPlayer, count: number): Promise<ServerMessage[]> => {
      const messages: ServerMessage[] = [];
      while (messages.length < count) messages.push(await player.next());
      return messages;
    };
    const atC = await seen(c, 51);
    const fromA = atC.filter((message) => message.type === 'message' && message.from === 0);
    assert.deepEqual(fromA.map((message) => (message.type === 'message' ? message.data : null)), Array.from({ length: 50 }, (_, n) => ({ n })));
    const seqs = atC.map((message) => (message.type === 'message' ? message.seq : -1));
    assert.deepEqual(seqs, [...seqs].sort((x, y) => x - y), 'in sequence order');
    assert.equal(new Set(seqs).size, seqs.length);
    const atA = await a.next();
    assert.equal(atA.type === 'message' && atA.data, 'from b');
    assert.equal(a.unread, 0, 'a player does not get its own messages back');
  });
});

test('a player who leaves or drops is announced; the names are guest names with --guests', async () => {
  await withRoomd({ guests: true }, async (fixture, players) => {
    const [host, leaver, dropper] = [await connect(fixture, players), await connect(fixture, players), await connect(fixture, players)];
    await host.join('pixel-tiger-33', 4);
    await leaver.join('pixel-tiger-33', 4, false);
    await dropper.join('pixel-tiger-33', 4, false);
    await host.next();
    await host.next();

    leaver.send({ type: 'leave' });
    assert.deepEqual(await host.next(), { type: 'left', seq: 4, seat: 1, name: 'Guest 2', reason: 'left' });
    dropper.socket.terminate();
    assert.deepEqual(await host.next(), { type: 'left', seq: 5, seat: 2, name: 'Guest 3', reason: 'dropped' });

    const late = await connect(fixture, players);
    const welcome = await late.join('pixel-tiger-33', 4, false);
    assert.equal(welcome.type === 'welcome' && welcome.seat, 1, 'a freed seat is taken again');
  });
});

test('the room ends when its host leaves, and its code is free again', async () => {
  await withRoomd({ guests: true }, async (fixture, players) => {
    const [host, guest] = [await connect(fixture, players), await connect(fixture, players)];
    await host.join('lunar-echo-55');
    await guest.join('lunar-echo-55');
    host.leave();
    assert.deepEqual(await guest.next(), { type: 'closed', reason: hostLeftReason });
    assert.equal((await guest.waitClosed()).code, closeCodes.roomEnded);
    assert.equal(fixture.roomd.hall.roomCount, 0);

    const again = await connect(fixture, players);
    const welcome = await again.join('lunar-echo-55');
    assert.equal(welcome.type === 'welcome' && welcome.host, true);
  });
});

test('bad input gets an error naming what is wrong, and the connection stays usable', async () => {
  await withRoomd({ guests: true }, async (fixture, players) => {
    const [host, other] = [await connect(fixture, players), await connect(fixture, players)];
    await host.join('bolt-grid-99', 2);
    await other.join('bolt-grid-99', 2, false);
    await host.next();
    const stranger = await connect(fixture, players);

    const cases: [string, unknown, string][] = [
      ['not JSON', '{"type":', 'malformed'],
      ['not an object', '[1]', 'malformed'],
      ['unknown type', { type: 'dance' }, 'malformed'],
      ['join without a game', { type: 'join', code: 'bolt-grid-98', players: 2 }, 'malformed'],
      ['join with players as text', { type: 'join', code: 'bolt-grid-98', game: 'four', players: '2' }, 'malformed'],
      ['send without data', { type: 'send' }, 'malformed'],
      ['send before joining', { type: 'send', data: 1 }, 'not-in-room'],
      ['a code that is no room code', { type: 'join', code: 'my-room', game: 'four', players: 2 }, 'bad-code'],
      ['an unknown code', { type: 'join', code: 'bolt-grid-98', game: 'four', players: 2 }, 'unknown-room'],
      ['a full room', { type: 'join', code: 'bolt-grid-99', game: 'four', players: 2 }, 'room-full'],
      ['another game\'s room', { type: 'join', code: 'bolt-grid-99', game: 'quad', players: 2 }, 'wrong-game'],
      ['another size of room', { type: 'join', code: 'bolt-grid-99', game: 'four', players: 4 }, 'bad-players'],
      ['too many players', { type: 'join', code: 'bolt-grid-98', game: 'four', players: 5, create: true }, 'bad-players'],
      ['too large', { type: 'send', data: 'x'.repeat(defaultLimits.largestMessage) }, 'too-large'],
    ];
    for (const [what, message, kind] of cases) {
      stranger.send(message);
      assert.equal(errorKind(await stranger.next()), kind, what);
    }
    stranger.socket.send(Buffer.from([1, 2, 3]), { binary: true });
    assert.equal(errorKind(await stranger.next()), 'malformed', 'binary');

    host.send({ type: 'join', code: 'bolt-grid-97', game: 'four', players: 2, create: true });
    assert.equal(errorKind(await host.next()), 'already-in-room');
    host.send({ type: 'send', data: 'still here' });
    const relayed = await other.next();
    assert.equal(relayed.type === 'message' && relayed.data, 'still here');
  });
});

test('a frame far over the limit ends only that connection', async () => {
  await withRoomd({ guests: true }, async (fixture, players) => {
    const [host, guest] = [await connect(fixture, players), await connect(fixture, players)];
    await host.join('turbo-nova-12');
    await guest.join('turbo-nova-12');
    await host.next();
    guest.send({ type: 'send', data: 'x'.repeat(defaultLimits.largestMessage * 5) });
    assert.equal((await guest.waitClosed()).code, 1009);
    assert.deepEqual(await host.next(), { type: 'left', seq: 3, seat: 1, name: 'Guest 2', reason: 'dropped' });
  });
});

test('one address may keep only so many rooms open', async () => {
  await withRoomd({ guests: true, roomsPerAddress: 2 }, async (fixture, players) => {
    const hosts = [await connect(fixture, players), await connect(fixture, players), await connect(fixture, players)];
    assert.equal((await hosts[0]!.join('vivid-delta-10')).type, 'welcome');
    assert.equal((await hosts[1]!.join('vivid-delta-11')).type, 'welcome');
    assert.equal(errorKind(await hosts[2]!.join('vivid-delta-12')), 'too-many-rooms');
    hosts[0]!.leave();
    await hosts[0]!.waitClosed();
    // The hall hears of the close a moment after the client does.
    let answer = await hosts[2]!.join('vivid-delta-12');
    while (answer.type === 'error' && answer.kind === 'too-many-rooms') answer = await hosts[2]!.join('vivid-delta-12');
    assert.equal(answer.type, 'welcome');
  });
});

test('without --guests, only a live session gets into rooms', async () => {
  await withRoomd({}, async (fixture, players) => {
    const token = await signInThroughPage(fixture.base, 'Ada', 'ada@example.com');
    await fetch(`${fixture.base}/api/auth/sign-out`, { method: 'POST', headers: { Authorization: `Bearer ${token}` } });
    for (const [what, credential] of [['no token', null], ['a signed-out token', token]] as const) {
      const player = await connect(fixture, players, credential);
      assert.equal(errorKind(await player.next()), 'unauthorized', what);
      assert.equal((await player.waitClosed()).code, closeCodes.unauthorized, what);
    }
  });
});

test('a player whose connection stops answering the heartbeat is dropped and announced', async () => {
  await withRoomd({ guests: true, heartbeatMs: 20 }, async (fixture, players) => {
    const [host, silent] = [await connect(fixture, players), await connect(fixture, players)];
    await host.join('atomic-pulse-77');
    await silent.join('atomic-pulse-77');
    await host.next();
    // A paused socket reads nothing, so it never answers a ping.
    silent.socket.pause();
    assert.deepEqual(await host.next(), { type: 'left', seq: 3, seat: 1, name: 'Guest 2', reason: 'dropped' });
  });
});
