// The engine's side of a room on the room server: one WebSocket that joins (or opens) the room
// with the code Deskplay gave, then carries the game's messages to the other players and theirs,
// in the room's order, to the game. The room protocol is roomd's (tilestack/rooms/README.md).

import WebSocket from 'ws';

export interface RoomMember {
  seat: number;
  name: string;
}

// Where the player sits, as the server said on joining.
export interface RoomSeat {
  code: string;
  seat: number;
  host: boolean;
  players: number;
  members: RoomMember[];
}

export type RoomEvent =
  | { kind: 'joined'; seat: number; name: string }
  | { kind: 'left'; seat: number; name: string; reason: 'left' | 'dropped' }
  | { kind: 'message'; from: number; data: unknown }
  // The room is over for this player: the host left, or the connection was lost.
  | { kind: 'closed'; reason: string };

export type RoomFailureKind = 'connect' | 'refused' | 'protocol';

export class RoomFailure extends Error {
  constructor(
    readonly kind: RoomFailureKind,
    message: string,
    options?: { cause?: unknown },
  ) {
    super(message, options);
    this.name = 'RoomFailure';
  }
}

export interface RoomRequest {
  // The room server's WebSocket address (GAME_SERVER_URL).
  url: string;
  // The account's session token; without one the server must take guests.
  token: string | null;
  code: string;
  game: string;
  players: number;
  log: (line: string) => void;
  // How long connecting and joining may take together.
  timeoutMs?: number;
}

export const connectionLost = 'The connection to the room server was lost.';
const closeWaitMs = 2000;

// A seat in a room, as the session uses it.
export interface RoomLink {
  readonly seat: RoomSeat;
  onEvent(listener: (event: RoomEvent) => void): void;
  send(data: unknown): void;
  leave(): Promise<void>;
}

export class RoomClient implements RoomLink {
  readonly seat: RoomSeat;
  readonly #socket: WebSocket;
  readonly #log: (line: string) => void;
  #pending: RoomEvent[] = [];
  #listener: ((event: RoomEvent) => void) | null = null;
  #closed = false;

  private constructor(socket: WebSocket, seat: RoomSeat, log: (line: string) => void) {
    this.#socket = socket;
    this.seat = seat;
    this.#log = log;
  }

  // Connects and takes a seat in the room, opening it when it does not exist yet.
  static join(request: RoomRequest): Promise<RoomClient> {
    const { url, token, code, game, players, log, timeoutMs = 10_000 } = request;
    return new Promise((resolve, reject) => {
      const socket = new WebSocket(url, token === null ? {} : { headers: { Authorization: `Bearer ${token}` } });
      let client: RoomClient | null = null;
      const fail = (failure: RoomFailure): void => {
        clearTimeout(timer);
        socket.terminate();
        reject(failure);
      };
      const timer = setTimeout(() => fail(new RoomFailure('connect', `The room server at ${url} did not answer in time.`)), timeoutMs);
      socket.on('open', () => socket.send(JSON.stringify({ type: 'join', code, game, players, create: true })));
      socket.on('error', (error) => {
        if (client === null) fail(new RoomFailure('connect', `Cannot reach the room server at ${url}: ${error.message}`, { cause: error }));
      });
      socket.on('close', () => {
        if (client === null) fail(new RoomFailure('connect', `The room server at ${url} closed the connection.`));
        else client.#end(connectionLost);
      });
      socket.on('message', (data) => {
        const message = parseServerMessage(data.toString());
        if (client !== null) {
          client.#receive(message);
          return;
        }
        if (message?.type === 'welcome') {
          clearTimeout(timer);
          client = new RoomClient(socket, { code: message.code, seat: message.seat, host: message.host, players: message.players, members: message.members }, log);
          resolve(client);
        } else if (message?.type === 'error') {
          fail(new RoomFailure('refused', message.message));
        } else {
          fail(new RoomFailure('protocol', `The room server at ${url} answered the join with something else.`));
        }
      });
    });
  }

  // Events are kept until a listener takes them, so none is lost while the game starts up.
  onEvent(listener: (event: RoomEvent) => void): void {
    this.#listener = listener;
    const pending = this.#pending;
    this.#pending = [];
    for (const event of pending) listener(event);
  }

  // Relays `data` (any JSON value) to the other players.
  send(data: unknown): void {
    if (this.#closed || this.#socket.readyState !== WebSocket.OPEN) return;
    this.#socket.send(JSON.stringify({ type: 'send', data }));
  }

  // Leaves the room; resolves once the connection is closed. A server that does not answer
  // the close in time is cut off, so that leaving never holds the session's end up.
  leave(): Promise<void> {
    this.#closed = true;
    if (this.#socket.readyState === WebSocket.CLOSED) return Promise.resolve();
    return new Promise((resolve) => {
      const cutOff = setTimeout(() => this.#socket.terminate(), closeWaitMs);
      this.#socket.once('close', () => {
        clearTimeout(cutOff);
        resolve();
      });
      this.#socket.close(1000);
    });
  }

  #receive(message: ServerMessage | null): void {
    switch (message?.type) {
      case 'joined':
        return this.#emit({ kind: 'joined', seat: message.seat, name: message.name });
      case 'left':
        return this.#emit({ kind: 'left', seat: message.seat, name: message.name, reason: message.reason });
      case 'message':
        return this.#emit({ kind: 'message', from: message.from, data: message.data });
      case 'closed':
        return this.#end(message.reason);
      case 'error':
        return this.#log(`room server: ${message.message}`);
      default:
        return this.#log('room server: a message the engine does not know was ignored');
    }
  }

  #end(reason: string): void {
    if (this.#closed) return;
    this.#closed = true;
    this.#emit({ kind: 'closed', reason });
  }

  #emit(event: RoomEvent): void {
    if (this.#listener === null) this.#pending.push(event);
    else this.#listener(event);
  }
}

type ServerMessage =
  | { type: 'welcome'; code: string; seat: number; host: boolean; players: number; members: RoomMember[] }
  | { type: 'joined'; seat: number; name: string }
  | { type: 'left'; seat: number; name: string; reason: 'left' | 'dropped' }
  | { type: 'message'; from: number; data: unknown }
  | { type: 'closed'; reason: string }
  | { type: 'error'; message: string };

// A message of the server with the fields the engine uses, or null.
export function parseServerMessage(text: string): ServerMessage | null {
  let value: unknown;
  try {
    value = JSON.parse(text);
  } catch {
    return null;
  }
  if (typeof value !== 'object' || value === null) return null;
  const m = value as Record<string, unknown>;
  const isSeat = (seat: unknown): seat is number => typeof seat === 'number' && Number.isInteger(seat) && seat >= 0;
  const isMember = (member: unknown): member is RoomMember =>
    typeof member === 'object' && member !== null && isSeat((member as RoomMember).seat) && typeof (member as RoomMember).name === 'string';
  switch (m['type']) {
    case 'welcome':
      if (typeof m['code'] !== 'string' || !isSeat(m['seat']) || typeof m['host'] !== 'boolean' || !isSeat(m['players'])) return null;
      if (!Array.isArray(m['members']) || !m['members'].every(isMember)) return null;
      return { type: 'welcome', code: m['code'], seat: m['seat'], host: m['host'], players: m['players'], members: m['members'] };
    case 'joined':
      return isSeat(m['seat']) && typeof m['name'] === 'string' ? { type: 'joined', seat: m['seat'], name: m['name'] } : null;
    case 'left':
      if (!isSeat(m['seat']) || typeof m['name'] !== 'string' || (m['reason'] !== 'left' && m['reason'] !== 'dropped')) return null;
      return { type: 'left', seat: m['seat'], name: m['name'], reason: m['reason'] };
    case 'message':
      return isSeat(m['from']) && 'data' in m ? { type: 'message', from: m['from'], data: m['data'] } : null;
    case 'closed':
      return typeof m['reason'] === 'string' ? { type: 'closed', reason: m['reason'] } : null;
    case 'error':
      return typeof m['message'] === 'string' ? { type: 'error', message: m['message'] } : null;
    default:
      return null;
  }
}
