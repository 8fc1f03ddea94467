// A roomd in the test's own process, on a free loopback port, with a clock the test moves, and
// players that connect to it.

import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import WebSocket from 'ws';
import type { ServerMessage } from '../protocol.ts';
import { defaultLimits, startRoomd, type Roomd, type RoomdOptions } from '../roomd.ts';

export class TestClock {
  ms = 1_000_000;

  advance(ms: number): void {
    this.ms += ms;
  }
}

export interface RoomdFixture {
  roomd: Roomd;
  clock: TestClock;
  base: string;
  ws: string;
  close(): Promise<void>;
}

export async function startTestRoomd(options: Partial<RoomdOptions> = {}, clock = new TestClock()): Promise<RoomdFixture> {
  const roomd = await startRoomd({
    port: 0,
    host: '127.0.0.1',
    dataDir: null,
    guests: false,
    roomsPerAddress: defaultLimits.roomsPerAddress,
    largestMessage: defaultLimits.largestMessage,
    heartbeatMs: defaultLimits.heartbeatMs,
    now: () => clock.ms,
    log: (line) => void process.stderr.write(`roomd: ${line}\n`),
    ...options,
  });
  return {
    roomd,
    clock,
    base: `http://127.0.0.1:${roomd.port}`,
    ws: `ws://127.0.0.1:${roomd.port}`,
    close: () => roomd.close(),
  };
}

export function scratchFolder(): { path: string; remove(): void } {
  const folder = mkdtempSync(path.join(tmpdir(), 'roomd-test-'));
  return { path: folder, remove: () => rmSync(folder, { recursive: true, force: true }) };
}

// Signs in through the page and the verify call, as a browser and Deskplay do; the session token.
export async function signInThroughPage(base: string, name: string, email: string): Promise<string> {
  const page = await fetch(`${base}/app-signin`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: new URLSearchParams({ name, email }).toString(),
    redirect: 'manual',
  });
  const location = new URL(page.headers.get('location') ?? '');
  const verified = await fetch(`${base}/api/auth/one-time-token/verify`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ token: location.searchParams.get('token') }),
  });
  const body = (await verified.json()) as { session: { token: string } };
  return body.session.token;
}

// A player's connection that keeps what the server says, for the test to take in order.
export class TestPlayer {
  readonly socket: WebSocket;
  readonly #inbox: ServerMessage[] = [];
  #waiting: (() => void) | null = null;
  closed: { code: number; reason: string } | null = null;

  private constructor(socket: WebSocket) {
    this.socket = socket;
    socket.on('message', (data) => {
      this.#inbox.push(JSON.parse(data.toString()) as ServerMessage);
      this.#waiting?.();
    });
    socket.on('close', (code, reason) => {
      this.closed = { code, reason: reason.toString() };
      this.#waiting?.();
    });
  }

  static async connect(url: string, token: string | null = null): Promise<TestPlayer> {
    const socket = new WebSocket(url, token === null ? {} : { headers: { Authorization: `Bearer ${token}` } });
    const player = new TestPlayer(socket);
    await new Promise<void>((resolve, reject) => {
      socket.once('open', () => resolve());
      socket.once('error', reject);
    });
    return player;
  }

  send(message: unknown): void {
    this.socket.send(typeof message === 'string' ? message : JSON.stringify(message));
  }

  // The next message from the server, waiting for it when none is there yet.
  async next(): Promise<ServerMessage> {
    for (;;) {
      const message = this.#inbox.shift();
      if (message !== undefined) return message;
      if (this.closed !== null) throw new Error(`the connection closed (${this.closed.code} ${this.closed.reason}) with no message left`);
      await new Promise<void>((resolve) => (this.#waiting = resolve));
      this.#waiting = null;
    }
  }

  async join(code: string, players = 2, create = true, game = 'four'): Promise<ServerMessage> {
    this.send({ type: 'join', code, game, players, create });
    return this.next();
  }

  async waitClosed(): Promise<{ code: number; reason: string }> {
    while (this.closed === null) await new Promise<void>((resolve) => (this.#waiting = resolve));
    return this.closed;
  }

  get unread(): number {
    return this.#inbox.length;
  }

  leave(): void {
    this.socket.close(1000);
  }
}
