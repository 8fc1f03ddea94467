// Load on roomd over loopback: many rooms of 2 to 4 players, every player sending a paced
// stream of messages to its room. Prints the relay latency (p50, p99), how many messages were
// lost or arrived out of order, and beside them a bare WebSocket round trip measured in the
// same run. Never asserts: it reports.

import { spawn } from 'node:child_process';
import { once } from 'node:events';
import type { AddressInfo } from 'node:net';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { WebSocket, WebSocketServer } from 'ws';
import { roomCodeAt } from '../src/room_codes.ts';

const usage = `usage: node --import tsx rooms/bench/room_load.ts [--rooms N] [--messages N] [--interval-ms N]

Starts roomd (--guests) on loopback and fills it with N rooms (default 200) of 2, 3 and 4
players in turn; each player sends --messages (default 25) messages, one every --interval-ms
(default 50). Gives up waiting for deliveries 30 s after the last send.
`;

interface Options {
  rooms: number;
  messages: number;
  intervalMs: number;
}

function parseOptions(args: readonly string[]): Options | string {
  const options: Options = { rooms: 200, messages: 25, intervalMs: 50 };
  const names: Record<string, keyof Options> = { '--rooms': 'rooms', '--messages': 'messages', '--interval-ms': 'intervalMs' };
  for (let index = 0; index < args.length; index += 2) {
    const name = names[args[index] ?? ''];
    const value = Number(args[index + 1]);
    if (name === undefined || !Number.isInteger(value) || value < 1) return `room_load: bad argument ${args[index]} (see --help)`;
    options[name] = value;
  }
  return options;
}

interface Player {
  socket: WebSocket;
  seat: number;
  // Per sender seat, the last message number seen.
  lastFrom: Map<number, number>;
  lastSeq: number;
}

interface Tally {
  latenciesMs: number[];
  delivered: number;
  reordered: number;
}

async function startRoomd(): Promise<{ port: number; stop(): Promise<void> }> {
  const roomd = path.join(import.meta.dirname, '..', 'bin', 'roomd');
  const child = spawn(roomd, ['--port', '0', '--guests', '--rooms-per-address', '100000'], { stdio: ['ignore', 'pipe', 'inherit'] });
  for await (const line of createInterface({ input: child.stdout })) {
    const ready = /^ROOMD_READY (\d+)$/.exec(line);
    if (ready !== null) {
      return {
        port: Number(ready[1]),
        stop: async () => {
          child.kill('SIGTERM');
          await once(child, 'exit');
        },
      };
    }
  }
  throw new Error('roomd ended without ROOMD_READY');
}

function open(url: string): Promise<WebSocket> {
  const socket = new WebSocket(url);
  return new Promise((resolve, reject) => {
    socket.once('open', () => resolve(socket));
    socket.once('error', reject);
  });
}

function nextMessage(socket: WebSocket): Promise<Record<string, unknown>> {
  return new Promise((resolve) => socket.once('message', (data) => resolve(JSON.parse(data.toString()) as Record<string, unknown>)));
}

async function seatPlayers(url: string, options: Options): Promise<Player[][]> {
  const rooms: Player[][] = [];
  for (let index = 0; index < options.rooms; index += 1) {
    const size = 2 + (index % 3);
    const players: Player[] = [];
    for (let seat = 0; seat < size; seat += 1) {
      const socket = await open(url);
      const welcome = nextMessage(socket);
      socket.send(JSON.stringify({ type: 'join', code: roomCodeAt(index), game: 'load', players: size, create: seat === 0 }));
      const answer = await welcome;
      if (answer['type'] !== 'welcome') throw new Error(`joining room ${index}: ${JSON.stringify(answer)}`);
      players.push({ socket, seat: answer['seat'] as number, lastFrom: new Map(), lastSeq: answer['seq'] as number });
    }
    rooms.push(players);
  }
  return rooms;
}

function listen(player: Player, tally: Tally): void {
  player.socket.on('message', (data) => {
    const message = JSON.parse(data.toString()) as { type: string; seq: number; from: number; data: { n: number; sentAt: number } };
    if (message.type !== 'message') return;
    tally.latenciesMs.push(performance.now() - message.data.sentAt);
    tally.delivered += 1;
    const last = player.lastFrom.get(message.from) ?? -1;
    if (message.data.n !== last + 1 || message.seq <= player.lastSeq) tally.reordered += 1;
    player.lastFrom.set(message.from, message.data.n);
    player.lastSeq = message.seq;
  });
}

async function sendAll(rooms: Player[][], options: Options): Promise<void> {
  const players = rooms.flat();
  for (let n = 0; n < options.messages; n += 1) {
    // Spread each round of sends over the interval, so the load is steady rather than bursts.
    const started = performance.now();
    for (let index = 0; index < players.length; index += 1) {
      const player = players[index]!;
      player.socket.send(JSON.stringify({ type: 'send', data: { n, sentAt: performance.now() } }));
      const due = started + ((index + 1) * options.intervalMs) / players.length;
      const wait = due - performance.now();
      if (wait > 1) await new Promise((resolve) => setTimeout(resolve, wait));
    }
  }
}

async function until(condition: () => boolean, deadlineMs: number): Promise<void> {
  const giveUpAt = performance.now() + deadlineMs;
  while (!condition() && performance.now() < giveUpAt) await new Promise((resolve) => setTimeout(resolve, 10));
}

// A bare ws echo on loopback, one message at a time: the floor under any relay.
async function bareRoundTripsMs(count: number): Promise<number[]> {
  const server = new WebSocketServer({ port: 0, host: '127.0.0.1' });
  server.on('connection', (socket) => socket.on('message', (data) => socket.send(data)));
  await once(server, 'listening');
  const address = server.address() as AddressInfo;
  const socket = await open(`ws://127.0.0.1:${address.port}`);
  const times: number[] = [];
  for (let index = 0; index < count; index += 1) {
    const started = performance.now();
    const echoed = nextMessage(socket);
    socket.send(JSON.stringify({ n: index }));
    await echoed;
    times.push(performance.now() - started);
  }
  socket.close();
  server.close();
  return times;
}

function percentile(values: number[], fraction: number): number {
  if (values.length === 0) return Number.NaN;
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(fraction * sorted.length))]!;
}

async function main(args: string[]): Promise<number> {
  if (args.includes('--help')) {
    process.stdout.write(usage);
    return 0;
  }
  const options = parseOptions(args);
  if (typeof options === 'string') {
    process.stderr.write(`${options}\n`);
    return 2;
  }
  const baseline = await bareRoundTripsMs(2000);
  const roomd = await startRoomd();
  try {
    const url = `ws://127.0.0.1:${roomd.port}`;
    const seatingStarted = performance.now();
    const rooms = await seatPlayers(url, options);
    const seatingMs = performance.now() - seatingStarted;
    const tally: Tally = { latenciesMs: [], delivered: 0, reordered: 0 };
    for (const player of rooms.flat()) listen(player, tally);

    const expected = rooms.reduce((total, players) => total + players.length * (players.length - 1) * options.messages, 0);
    const sendingStarted = performance.now();
    await sendAll(rooms, options);
    await until(() => tally.delivered >= expected, 30_000);
    const elapsedMs = performance.now() - sendingStarted;
    for (const player of rooms.flat()) player.socket.terminate();

    const players = rooms.flat().length;
    const p50 = percentile(tally.latenciesMs, 0.5);
    const p99 = percentile(tally.latenciesMs, 0.99);
    const bareP50 = percentile(baseline, 0.5);
    console.log(`room_load: ${rooms.length} rooms, ${players} players seated in ${seatingMs.toFixed(0)} ms`);
    console.log(`room_load: ${players * options.messages} messages sent, ${tally.delivered} of ${expected} deliveries in ${(elapsedMs / 1000).toFixed(2)} s`);
    console.log(`room_load: relay latency p50 ${p50.toFixed(3)} ms, p99 ${p99.toFixed(3)} ms`);
    console.log(`room_load: bare ws round trip p50 ${bareP50.toFixed(3)} ms, p99 ${percentile(baseline, 0.99).toFixed(3)} ms; relay p50 / bare p50 = ${(p50 / bareP50).toFixed(1)}`);
    console.log(`room_load: lost ${expected - tally.delivered}, reordered ${tally.reordered}`);
    return 0;
  } finally {
    await roomd.stop();
  }
}

process.exitCode = await main(process.argv.slice(2));
