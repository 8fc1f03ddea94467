import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import type { PositionUpdate } from './companions/contracts.ts';
import { systemClock } from './clock.ts';
import { layoutBoard } from './board.ts';
import type { GameInput, GameDefinition } from './game.ts';
import type { RoomEvent, RoomLink, RoomRequest } from './room/room_client.ts';
import { launchRefused, runEngine, type EngineHost } from './run.ts';
import { fakeCompanions, type FakeCompanions } from './test_fixtures/fake_companions.ts';
import { waitFor } from './test_fixtures/wait_for.ts';
import { walkerGame } from './test_fixtures/walker_game.ts';

const board = layoutBoard({ cols: 3, rows: 3, iconSize: 64 }, { width: 1440, height: 900, iconSize: 64 });

// A temporary home, a session folder, and a stand-in for Deskplay's input socket.
async function sandbox(t: { after: (fn: () => void | Promise<void>) => void }) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'engine-run-'));
  const home = path.join(root, 'home');
  const sessionFolder = path.join(root, 'session');
  const gameFolder = path.join(root, 'game');
  for (const folder of [path.join(home, 'Desktop'), sessionFolder, gameFolder]) fs.mkdirSync(folder, { recursive: true });

  const clients: net.Socket[] = [];
  const server = net.createServer((socket) => clients.push(socket));
  await new Promise<void>((resolve) => server.listen(0, '127.0.0.1', resolve));
  const address = server.address();
  assert.ok(address !== null && typeof address === 'object');
  t.after(async () => {
    for (const client of clients) client.destroy();
    await new Promise((resolve) => server.close(resolve));
    fs.rmSync(root, { recursive: true, force: true });
  });

  const env: NodeJS.ProcessEnv = {
    DESKPLAY_PORT: String(address.port),
    DESKPLAY_SUPERVISED: '1',
    FRONDEL_SESSION_STATUS_PATH: path.join(sessionFolder, 'status.json'),
    FRONDEL_SESSION_ID: 'SESSION-1',
    FRONDEL_SESSION_STATUS_SURFACE: 'native',
    GAME_SERVER_URL: 'ws://127.0.0.1:9',
    DESKPLAY_DATA_DIR: path.join(root, 'data'),
    HOME: home,
  };
  const send = async (message: object): Promise<void> => {
    await waitFor('the engine to connect to the input socket', () => clients.length > 0);
    for (const client of clients) client.write(`${JSON.stringify(message)}\n`);
  };
  return {
    env,
    home,
    gameFolder,
    desktop: path.join(home, 'Desktop'),
    statusPath: path.join(sessionFolder, 'status.json'),
    cacheFolder: path.join(home, 'Library', 'Caches', 'tilestack', 'SESSION-1'),
    send,
    key: (keyCode: number, char = '') => send({ type: 'keydown', keyCode, char }),
  };
}

interface Harness {
  exited: Promise<number>;
  log: string[];
  phases: () => string[];
  terminate: (signal: NodeJS.Signals) => void;
  crash: (error: unknown) => void;
}

function start<State>(
  definition: GameDefinition<State>,
  env: NodeJS.ProcessEnv,
  gameFolder: string,
  companions: FakeCompanions,
  args: string[] = [],
  joinRoom: EngineHost['joinRoom'] = () => Promise.reject(new Error('no room server in this test')),
): Harness {
  const log: string[] = [];
  let terminate: (signal: NodeJS.Signals) => void = () => {};
  let crash: (error: unknown) => void = () => {};
  const host: EngineHost = {
    env,
    args,
    clock: systemClock,
    companions: () => companions.starter,
    writeError: (text) => log.push(...text.split('\n').filter((line) => line !== '')),
    onTerminate: (handler) => (terminate = handler),
    onCrash: (handler) => (crash = handler),
    joinRoom,
  };
  const exited = runEngine(definition, gameFolder, host);
  return {
    exited,
    log,
    phases: () => log.flatMap((line) => /^tilestack: session (\S+)$/.exec(line)?.slice(1) ?? []),
    terminate: (signal) => terminate(signal),
    crash: (error) => crash(error),
  };
}

function recordPhase(statusPath: string): string {
  const record = JSON.parse(fs.readFileSync(statusPath, 'utf8')) as { phase: string; tiles: unknown[]; session: string };
  assert.deepEqual(record.tiles, []);
  assert.equal(record.session, 'SESSION-1');
  return record.phase;
}

function placedAt(companions: FakeCompanions, col: number, row: number): boolean {
  const centre = board.centreOf({ col, row });
  return companions.icons.callsOf('position').some(([updates]) => (updates as PositionUpdate[]).some((update) => update.x === centre.x && update.y === centre.y && update.duration !== undefined));
}

test('a game that leaves: keys reach it, the phases run in order, everything is put back', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  Object.assign(companions.icons.finder, { iconSize: 48, arrangement: 'name', labelsVisible: true });
  const run = start(walkerGame(), box.env, box.gameFolder, companions);

  await waitFor('ready', () => run.phases().includes('ready'));
  assert.equal(recordPhase(box.statusPath), 'ready');
  assert.equal(fs.readdirSync(box.desktop).length, 2);
  assert.deepEqual(companions.icons.finder, { iconSize: 64, gridSpacing: 54, arrangement: 'not arranged', labelsVisible: false });
  assert.deepEqual(companions.started, ['Glyphon', 'Sonette']);
  const beep = path.join(box.cacheFolder, 'sounds', 'beep.wav');
  assert.ok(companions.sounds.calls.includes(`load ${beep}`));

  await box.key(124); // right
  await waitFor('the walker to move right', () => placedAt(companions, 1, 0));
  assert.ok(companions.sounds.calls.includes(`play ${beep}`));
  companions.icons.reportScriptError('Finder got an error: Can’t get alias.');
  assert.ok(run.log.includes('tilestack: Glyphon: Finder got an error: Can’t get alias.'));

  await box.key(53); // escape
  assert.equal(await run.exited, 0);
  assert.deepEqual(run.phases(), ['loading', 'ready', 'restoring', 'child-complete']);
  assert.equal(recordPhase(box.statusPath), 'child-complete');
  assert.deepEqual(fs.readdirSync(box.desktop), []);
  assert.equal(fs.existsSync(box.cacheFolder), false);
  assert.deepEqual(companions.icons.finder, { iconSize: 48, gridSpacing: 54, arrangement: 'name', labelsVisible: true });
  assert.equal(companions.icons.callsOf('stop').length, 1);
  assert.deepEqual(companions.sounds.calls.slice(-1), ['stop']);
});

test('SIGTERM ends the session cleanly, and a second one does not cut the wind-down short', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  const run = start(walkerGame(), box.env, box.gameFolder, companions);
  await waitFor('ready', () => run.phases().includes('ready'));

  // Finder's settings take their time to go back while the second signal arrives.
  const release = companions.icons.hold('stop');
  run.terminate('SIGTERM');
  await waitFor('the wind-down to reach the companions', () => companions.icons.callsOf('stop').length === 1);
  run.terminate('SIGTERM');
  run.terminate('SIGINT');
  release();

  assert.equal(await run.exited, 0);
  assert.deepEqual(run.phases(), ['loading', 'ready', 'restoring', 'child-complete']);
  assert.ok(run.log.some((line) => /received SIGTERM; already winding down/.test(line)));
  assert.equal(companions.icons.callsOf('stop').length, 1);
  assert.deepEqual(fs.readdirSync(box.desktop), []);
});

test('failures end the session with "failed", a non-zero exit and a clean Desktop', async (t) => {
  const cases: { name: string; provoke: (run: Harness, companions: FakeCompanions, box: Awaited<ReturnType<typeof sandbox>>) => Promise<void>; reason: RegExp }[] = [
    {
      name: 'Sonette will not start',
      provoke: async (_run, companions) => void companions.failing.add('Sonette'),
      reason: /Sonette: cannot start/,
    },
    {
      name: 'Glyphon dies during the game',
      provoke: async (run, companions) => {
        await waitFor('ready', () => run.phases().includes('ready'));
        companions.kill('Glyphon');
      },
      reason: /Glyphon: ended \(killed by SIGKILL\)/,
    },
    {
      name: 'the game throws',
      provoke: async (run, _companions, box) => {
        await waitFor('ready', () => run.phases().includes('ready'));
        await box.key(18, '!');
      },
      reason: /the walker tripped/,
    },
    {
      name: 'an exception nothing caught',
      provoke: async (run) => {
        await waitFor('ready', () => run.phases().includes('ready'));
        run.crash(new TypeError('x is not a function'));
      },
      reason: /x is not a function/,
    },
  ];
  for (const { name, provoke, reason } of cases) {
    const box = await sandbox(t);
    const companions = fakeCompanions();
    const failingAtStart = name === 'Sonette will not start';
    if (failingAtStart) await provoke({} as Harness, companions, box);
    const run = start(walkerGame(), box.env, box.gameFolder, companions);
    if (!failingAtStart) await provoke(run, companions, box);

    assert.equal(await run.exited, 1, name);
    assert.equal(run.phases().at(-1), 'failed', name);
    assert.equal(recordPhase(box.statusPath), 'failed', name);
    assert.ok(run.log.some((line) => reason.test(line)), `${name}: ${run.log.join('\n')}`);
    assert.deepEqual(fs.readdirSync(box.desktop), [], name);
    assert.equal(fs.existsSync(box.cacheFolder), false, name);
    // Every companion that started is stopped again.
    assert.equal(companions.icons.callsOf('stop').length, companions.started.includes('Glyphon') ? 1 : 0, name);
  }
});

test('a status record that cannot be written fails the session before anything is drawn', async (t) => {
  const box = await sandbox(t);
  fs.rmSync(path.dirname(box.statusPath), { recursive: true });
  const companions = fakeCompanions();
  const run = start(walkerGame(), box.env, box.gameFolder, companions);
  assert.equal(await run.exited, 1);
  assert.ok(run.log.some((line) => /cannot write the status record/.test(line)));
  assert.deepEqual(companions.started, []);
  assert.deepEqual(fs.readdirSync(box.desktop), []);
});

test('a refused launch ends at once with the reason and leaves no trace', async (t) => {
  const cases: { env: (env: NodeJS.ProcessEnv) => NodeJS.ProcessEnv; args: string[]; reason: RegExp }[] = [
    { env: (env) => env, args: ['join', 'ABCD'], reason: /^tilestack: walker does not know join ABCD$/ },
    { env: (env) => ({ ...env, DESKPLAY_PORT: 'none' }), args: [], reason: /^tilestack: cannot start walker: DESKPLAY_PORT must be a port number/ },
  ];
  for (const { env, args, reason } of cases) {
    const box = await sandbox(t);
    const companions = fakeCompanions();
    const run = start(walkerGame(), env(box.env), box.gameFolder, companions, args);
    assert.equal(await run.exited, launchRefused);
    assert.ok(run.log.some((line) => reason.test(line)), run.log.join('\n'));
    assert.equal(fs.existsSync(box.statusPath), false);
    assert.deepEqual(companions.started, []);
    assert.equal(fs.existsSync(path.join(box.home, 'Library')), false);
  }
});

test('clicks reach a mouse game with their cell and the tile clicked', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  const seen: GameInput[] = [];
  const run = start(walkerGame({ mouse: true, seen }), box.env, box.gameFolder, companions);
  await waitFor('ready', () => run.phases().includes('ready'));
  assert.deepEqual(companions.mouse.calls, ['captureDesktopDrags true']);

  const walkerFile = (companions.icons.callsOf('templateCopy') as [string, string][])
    .map(([, file]) => file)
    .find((file) => companions.icons.callsOf('position').some(([updates]) => (updates as PositionUpdate[]).some((update) => update.path === file && update.x === board.centreOf({ col: 0, row: 0 }).x)));
  assert.ok(walkerFile);
  const onCell = board.centreOf({ col: 2, row: 1 });
  companions.mouse.emit({ type: 'mousedown', x: onCell.x, y: onCell.y });
  companions.mouse.emit({ type: 'click', x: onCell.x, y: onCell.y });
  companions.mouse.emit({ type: 'rightclick', x: 3, y: 3, target: path.basename(walkerFile) });
  await waitFor('both clicks', () => seen.length === 2);
  assert.deepEqual(seen, [
    { kind: 'click', cell: { col: 2, row: 1 }, tile: null, point: onCell, right: false },
    { kind: 'click', cell: null, tile: 'walker', point: { x: 3, y: 3 }, right: true },
  ]);

  run.terminate('SIGTERM');
  assert.equal(await run.exited, 0);
  assert.deepEqual(companions.mouse.calls.slice(-1), ['stop']);
});

test('muted sessions play nothing until the sound switch turns them back on', async (t) => {
  const box = await sandbox(t);
  fs.mkdirSync(path.join(box.gameFolder, 'sounds'));
  fs.writeFileSync(path.join(box.gameFolder, 'sounds', 'beep.wav'), 'shipped');
  const companions = fakeCompanions();
  const seen: GameInput[] = [];
  const run = start(walkerGame({ seen }), { ...box.env, DESKPLAY_MUTED: '1' }, box.gameFolder, companions);
  await waitFor('ready', () => run.phases().includes('ready'));
  const shipped = path.join(box.gameFolder, 'sounds', 'beep.wav');
  const plays = (): number => companions.sounds.calls.filter((call) => call === `play ${shipped}`).length;

  await box.key(125);
  await waitFor('the key', () => seen.length === 1);
  assert.equal(plays(), 0);
  await box.send({ type: 'set-muted', muted: false });
  await box.key(125);
  await waitFor('the key after unmuting', () => plays() === 1);
  await box.send({ type: 'set-muted', muted: true });
  await waitFor('sounds stopped', () => companions.sounds.calls.includes('stopAll'));

  run.terminate('SIGTERM');
  assert.equal(await run.exited, 0);
});

// A seat in a room that the test plays the other players of. Like the room client, it keeps
// events until a listener takes them.
function fakeRoom(): RoomLink & { requests: RoomRequest[]; sent: unknown[]; left: boolean; emit(event: RoomEvent): void } {
  let listener: ((event: RoomEvent) => void) | null = null;
  const pending: RoomEvent[] = [];
  const room = {
    seat: { code: 'swift-falcon-42', seat: 1, host: false, players: 2, members: [{ seat: 0, name: 'Ada' }, { seat: 1, name: 'Guest 2' }] },
    requests: [] as RoomRequest[],
    sent: [] as unknown[],
    left: false,
    onEvent: (take: (event: RoomEvent) => void) => {
      listener = take;
      for (const event of pending.splice(0)) take(event);
    },
    send: (data: unknown) => room.sent.push(data),
    leave: async () => {
      room.left = true;
    },
    emit: (event: RoomEvent) => (listener === null ? pending.push(event) : listener(event)),
  };
  return room;
}

// The walker as a game for two players online, taking any arguments.
function onlineWalker(seen?: GameInput[]): GameDefinition<unknown> {
  return { ...(walkerGame({ seen }) as GameDefinition<unknown>), online: { players: 2 }, checkArgs: () => null };
}

test('an online game takes its seat before it starts, hears the room, and leaves it at the end', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  const seen: GameInput[] = [];
  const room = fakeRoom();
  const online = onlineWalker(seen);
  const env = { ...box.env, DESKPLAY_SESSION_TOKEN: 'session-1' };
  const run = start(online, env, box.gameFolder, companions, ['join', 'swift-falcon-42'], async (request) => {
    room.requests.push(request);
    return room;
  });

  // The other player took a seat while this session was still starting.
  room.emit({ kind: 'joined', seat: 0, name: 'Ada' });
  await waitFor('ready', () => run.phases().includes('ready'));
  await waitFor('the early event to reach the game', () => seen.some((input) => input.kind === 'room'));
  assert.deepEqual(seen.find((input) => input.kind === 'room'), { kind: 'room', event: { kind: 'joined', seat: 0, name: 'Ada' } });
  assert.deepEqual(
    room.requests.map(({ url, token, code, game, players }) => ({ url, token, code, game, players })),
    [{ url: 'ws://127.0.0.1:9', token: 'session-1', code: 'swift-falcon-42', game: 'walker', players: 2 }],
  );
  assert.ok(run.log.includes('tilestack: seat 2 of 2 in the room swift-falcon-42'), run.log.join('\n'));
  room.emit({ kind: 'message', from: 0, data: { hello: 1 } });
  await waitFor('the room event to reach the game', () => seen.filter((input) => input.kind === 'room').length === 2);
  assert.deepEqual(seen.filter((input) => input.kind === 'room').at(-1), { kind: 'room', event: { kind: 'message', from: 0, data: { hello: 1 } } });

  run.terminate('SIGTERM');
  assert.equal(await run.exited, 0);
  assert.equal(room.left, true);
});

test('a room that cannot be joined refuses the launch with the server\'s reason', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  const online = onlineWalker();
  const run = start(online, box.env, box.gameFolder, companions, ['join', 'swift-falcon-42'], () => Promise.reject(new Error('The room swift-falcon-42 is full: all 2 seats are taken.')));
  assert.equal(await run.exited, launchRefused);
  assert.ok(
    run.log.includes('tilestack: cannot join the room swift-falcon-42 at ws://127.0.0.1:9: The room swift-falcon-42 is full: all 2 seats are taken.'),
    run.log.join('\n'),
  );
  assert.equal(fs.existsSync(box.statusPath), false);
  assert.deepEqual(companions.started, []);
});

test('a stop while the room is being joined ends the launch cleanly, before anything is touched', async (t) => {
  const box = await sandbox(t);
  const companions = fakeCompanions();
  const online = onlineWalker();
  let joinAsked = false;
  const run = start(online, box.env, box.gameFolder, companions, ['join', 'swift-falcon-42'], () => {
    joinAsked = true;
    return new Promise<RoomLink>(() => {});
  });
  await waitFor('the join to be asked for', () => joinAsked);
  run.terminate('SIGTERM');
  assert.equal(await run.exited, 0);
  assert.ok(run.log.includes('tilestack: received SIGTERM while joining the room swift-falcon-42; ending'), run.log.join('\n'));
  assert.equal(fs.existsSync(box.statusPath), false);
  assert.deepEqual(companions.started, []);
});
