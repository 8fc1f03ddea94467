// One roomd: the HTTP calls and the WebSocket rooms on one port.

import http from 'node:http';
import type { AddressInfo } from 'node:net';
import { AccountBook } from './account_book.ts';
import { httpHandler } from './http_api.ts';
import { RoomHall } from './room_hall.ts';
import { RoomSockets } from './room_sockets.ts';
import { StateFile } from './state_file.ts';

export interface RoomdOptions {
  port: number;
  host: string;
  // Where accounts and sessions are kept; null keeps them in memory.
  dataDir: string | null;
  guests: boolean;
  roomsPerAddress: number;
  largestMessage: number;
  heartbeatMs: number;
  now: () => number;
  log: (line: string) => void;
}

export const defaultLimits = { roomsPerAddress: 10, largestMessage: 16 * 1024, heartbeatMs: 15_000 } as const;

export interface Roomd {
  readonly port: number;
  readonly hall: RoomHall;
  close(): Promise<void>;
}

export async function startRoomd(options: RoomdOptions): Promise<Roomd> {
  const book = new AccountBook({ now: options.now, stateFile: options.dataDir === null ? null : new StateFile(options.dataDir) });
  const hall = new RoomHall({ roomsPerAddress: options.roomsPerAddress });
  const sockets = new RoomSockets({
    hall,
    book,
    guests: options.guests,
    largestMessage: options.largestMessage,
    heartbeatMs: options.heartbeatMs,
    log: options.log,
  });
  const server = http.createServer(httpHandler(book, options.log));
  server.on('upgrade', (request, socket, head) => sockets.upgrade(request, socket, head));
  server.on('clientError', (_error, socket) => socket.destroy());
  await new Promise<void>((resolve, reject) => {
    server.once('error', reject);
    server.listen(options.port, options.host, () => {
      server.off('error', reject);
      resolve();
    });
  });
  return {
    port: (server.address() as AddressInfo).port,
    hall,
    close: () =>
      new Promise((resolve) => {
        sockets.close();
        server.closeAllConnections();
        server.close(() => resolve());
      }),
  };
}
