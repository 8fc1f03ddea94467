// Players' WebSocket connections into the hall. A connection names its account with the
// session token ("Authorization: Bearer …" on the upgrade request), or plays as a guest when
// roomd lets guests in. Whatever a player sends, the worst it gets is an error message: a bad
// message never ends the connection, let alone roomd.

import type { IncomingMessage } from 'node:http';
import type { Duplex } from 'node:stream';
import { WebSocketServer, type RawData, type WebSocket } from 'ws';
import type { AccountBook } from './account_book.ts';
import { bearerToken } from './http_api.ts';
import { describeProblem } from './problem.ts';
import { RoomError, parseClientMessage, type ServerMessage } from './protocol.ts';
import type { Member, RoomHall } from './room_hall.ts';

export interface RoomSocketOptions {
  hall: RoomHall;
  book: AccountBook;
  guests: boolean;
  // The largest message roomd reads; a larger one gets an error. Frames far larger still
  // close the connection (the WebSocket's own limit, four times this).
  largestMessage: number;
  // How often silent connections are probed; one that misses a probe has dropped.
  heartbeatMs: number;
  log: (line: string) => void;
}

// The close code and reason when a room ends or a connection is turned away.
export const closeCodes = { roomEnded: 1000, unauthorized: 4401 } as const;

export class RoomSockets {
  readonly #options: RoomSocketOptions;
  readonly #server: WebSocketServer;
  readonly #alive = new Map<WebSocket, boolean>();
  readonly #heartbeat: NodeJS.Timeout;

  constructor(options: RoomSocketOptions) {
    this.#options = options;
    this.#server = new WebSocketServer({ noServer: true, maxPayload: options.largestMessage * 4 });
    this.#heartbeat = setInterval(() => this.#probe(), options.heartbeatMs);
    this.#heartbeat.unref();
  }

  // Hands an HTTP upgrade request to the WebSocket server.
  upgrade(request: IncomingMessage, socket: Duplex, head: Buffer): void {
    socket.on('error', () => socket.destroy());
    this.#server.handleUpgrade(request, socket, head, (connection) => this.#accept(connection, request));
  }

  close(): void {
    clearInterval(this.#heartbeat);
    for (const client of this.#server.clients) client.terminate();
    this.#server.close();
  }

  #accept(connection: WebSocket, request: IncomingMessage): void {
    const { hall, book, guests, largestMessage } = this.#options;
    const token = bearerToken(request);
    const account = token === null ? null : book.accountOf(token);
    if (account === null && !guests) {
      const problem =
        token === null
          ? new RoomError('unauthorized', 'Sign in to play online: this room server has no guest seats.')
          : new RoomError('unauthorized', 'Your session has ended: sign in again to play online.');
      sendTo(connection, problem.toMessage());
      connection.close(closeCodes.unauthorized, 'unauthorized');
      return;
    }

    const member: Member = {
      account: account?.name ?? null,
      address: request.socket.remoteAddress ?? 'unknown',
      deliver: (message) => sendTo(connection, message),
      end: () => connection.close(closeCodes.roomEnded, 'room ended'),
    };
    this.#alive.set(connection, true);
    connection.on('pong', () => this.#alive.set(connection, true));
    connection.on('error', () => connection.terminate());
    // A close the player asked for (code 1000) is a leave; anything else is a drop.
    connection.on('close', (code) => {
      this.#alive.delete(connection);
      hall.leave(member, code === 1000 ? 'left' : 'dropped');
    });
    connection.on('message', (data: RawData, isBinary: boolean) => {
      try {
        if (isBinary) throw new RoomError('malformed', 'Messages are JSON text, not binary.');
        const size = byteLength(data);
        if (size > largestMessage) throw new RoomError('too-large', `Messages are limited to ${largestMessage} bytes; this one has ${size}.`);
        const message = parseClientMessage(textOf(data));
        if (message instanceof RoomError) throw message;
        switch (message.type) {
          case 'join':
            hall.join(member, message);
            break;
          case 'send':
            hall.send(member, message.data);
            break;
          case 'leave':
            hall.leave(member, 'left');
            break;
        }
      } catch (error) {
        if (error instanceof RoomError) {
          sendTo(connection, error.toMessage());
          return;
        }
        // A fault of roomd's own costs this message, never the other rooms.
        this.#options.log(`a message from ${member.address} failed: ${describeProblem(error)}`);
      }
    });
  }

  #probe(): void {
    for (const connection of this.#server.clients) {
      if (this.#alive.get(connection) === false) {
        connection.terminate();
        continue;
      }
      this.#alive.set(connection, false);
      connection.ping();
    }
  }
}

function sendTo(connection: WebSocket, message: ServerMessage): void {
  if (connection.readyState === connection.OPEN) connection.send(JSON.stringify(message));
}

function byteLength(data: RawData): number {
  if (Array.isArray(data)) return data.reduce((total, part) => total + part.length, 0);
  return data instanceof ArrayBuffer ? data.byteLength : data.length;
}

function textOf(data: RawData): string {
  if (Array.isArray(data)) return Buffer.concat(data).toString('utf8');
  return Buffer.from(data instanceof ArrayBuffer ? new Uint8Array(data) : data).toString('utf8');
}
