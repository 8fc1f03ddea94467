import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readSession } from './session.ts';

const complete: Record<string, string> = {
  DESKPLAY_PORT: '50123',
  DESKPLAY_SUPERVISED: '1',
  FRONDEL_SESSION_STATUS_PATH: '/tmp/deskplay-session-A/status.json',
  FRONDEL_SESSION_ID: 'A1B2',
  FRONDEL_SESSION_STATUS_SURFACE: 'native',
  GAME_SERVER_URL: 'wss://rooms.example.test',
  DESKPLAY_DATA_DIR: '/home/ann/Documents/Deskplay',
  HOME: '/home/ann',
};

function without(name: string): Record<string, string> {
  const env = { ...complete };
  delete env[name];
  return env;
}

test('a complete environment gives the session', () => {
  const reading = readSession({ ...complete, DESKPLAY_MUTED: '1', DESKPLAY_SESSION_TOKEN: 'tok', TILESTACK_SEED: '42' });
  assert.ok(reading.ok);
  assert.deepEqual(reading.session, {
    port: 50123,
    supervised: true,
    statusPath: '/tmp/deskplay-session-A/status.json',
    sessionId: 'A1B2',
    gameServerUrl: 'wss://rooms.example.test',
    sessionToken: 'tok',
    gameServerToken: null,
    dataDir: '/home/ann/Documents/Deskplay',
    muted: true,
    home: '/home/ann',
    desktop: '/home/ann/Desktop',
    seed: 42,
  });
});

test('optional settings: muting only by "1", a home with a trailing slash', () => {
  const cases: { env: Record<string, string>; muted: boolean; desktop: string }[] = [
    { env: complete, muted: false, desktop: '/home/ann/Desktop' },
    { env: { ...complete, DESKPLAY_MUTED: '0' }, muted: false, desktop: '/home/ann/Desktop' },
    { env: { ...complete, DESKPLAY_MUTED: 'true' }, muted: false, desktop: '/home/ann/Desktop' },
    { env: { ...complete, HOME: '/home/ann/' }, muted: false, desktop: '/home/ann/Desktop' },
  ];
  for (const { env, muted, desktop } of cases) {
    const reading = readSession(env);
    assert.ok(reading.ok);
    assert.equal(reading.session.muted, muted);
    assert.equal(reading.session.desktop, desktop);
    assert.equal(reading.session.seed, null);
  }
});

test('each missing or malformed variable is named in the problems', () => {
  const cases: { env: Record<string, string>; problem: RegExp }[] = [
    { env: without('DESKPLAY_PORT'), problem: /^DESKPLAY_PORT is not set$/ },
    { env: { ...complete, DESKPLAY_PORT: '0' }, problem: /^DESKPLAY_PORT must be a port number/ },
    { env: { ...complete, DESKPLAY_PORT: '65536' }, problem: /^DESKPLAY_PORT must be a port number/ },
    { env: { ...complete, DESKPLAY_PORT: '80x' }, problem: /^DESKPLAY_PORT must be a port number/ },
    { env: { ...complete, DESKPLAY_PORT: ' 80' }, problem: /^DESKPLAY_PORT must be a port number/ },
    { env: without('DESKPLAY_SUPERVISED'), problem: /^DESKPLAY_SUPERVISED is not set$/ },
    { env: { ...complete, DESKPLAY_SUPERVISED: 'yes' }, problem: /^DESKPLAY_SUPERVISED must be 1 or 0/ },
    { env: without('FRONDEL_SESSION_STATUS_PATH'), problem: /^FRONDEL_SESSION_STATUS_PATH is not set$/ },
    { env: { ...complete, FRONDEL_SESSION_STATUS_PATH: 'status.json' }, problem: /^FRONDEL_SESSION_STATUS_PATH must be an absolute path/ },
    { env: { ...complete, FRONDEL_SESSION_ID: '' }, problem: /^FRONDEL_SESSION_ID is not set$/ },
    { env: without('FRONDEL_SESSION_STATUS_SURFACE'), problem: /^FRONDEL_SESSION_STATUS_SURFACE is not set$/ },
    { env: { ...complete, FRONDEL_SESSION_STATUS_SURFACE: 'glyphon' }, problem: /^FRONDEL_SESSION_STATUS_SURFACE must be "native"/ },
    { env: without('GAME_SERVER_URL'), problem: /^GAME_SERVER_URL is not set$/ },
    { env: { ...complete, GAME_SERVER_URL: 'rooms.example.test' }, problem: /^GAME_SERVER_URL must be a ws or wss URL/ },
    { env: { ...complete, GAME_SERVER_URL: 'https://rooms.example.test' }, problem: /^GAME_SERVER_URL must be a ws or wss URL/ },
    { env: without('DESKPLAY_DATA_DIR'), problem: /^DESKPLAY_DATA_DIR is not set$/ },
    { env: { ...complete, DESKPLAY_DATA_DIR: 'Documents' }, problem: /^DESKPLAY_DATA_DIR must be an absolute path/ },
    { env: without('HOME'), problem: /^HOME is not set$/ },
    { env: { ...complete, TILESTACK_SEED: '-3' }, problem: /^TILESTACK_SEED must be a whole number/ },
  ];
  for (const { env, problem } of cases) {
    const reading = readSession(env);
    assert.equal(reading.ok, false, `${problem}`);
    if (!reading.ok) {
      assert.equal(reading.problems.length, 1, reading.problems.join('; '));
      assert.match(reading.problems[0] ?? '', problem);
    }
  }
});

test('every problem is reported at once', () => {
  const reading = readSession({ HOME: '/home/ann' });
  assert.equal(reading.ok, false);
  if (!reading.ok) assert.equal(reading.problems.length, 7);
});
