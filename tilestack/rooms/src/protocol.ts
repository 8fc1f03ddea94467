// The room protocol: JSON text messages over one WebSocket per player. README.md describes it.

export const smallestRoom = 2;
export const largestRoom = 4;

export type ClientMessage =
  // Takes a seat in the room with this code; with `create`, opens the room (and hosts it) when
  // it does not exist yet.
  | { type: 'join'; code: string; game: string; players: number; create: boolean }
  // Relays `data` to the other players of the room.
  | { type: 'send'; data: unknown }
  | { type: 'leave' };

export interface Player {
  seat: number;
  name: string;
}

export type LeaveReason = 'left' | 'dropped';

export type ServerMessage =
  | { type: 'welcome'; code: string; game: string; players: number; seat: number; host: boolean; members: Player[]; seq: number }
  | { type: 'joined'; seq: number; seat: number; name: string }
  | { type: 'left'; seq: number; seat: number; name: string; reason: LeaveReason }
  | { type: 'message'; seq: number; from: number; data: unknown }
  | { type: 'closed'; reason: string }
  | { type: 'error'; kind: RoomErrorKind; message: string };

export type RoomErrorKind =
  | 'unauthorized'
  | 'malformed'
  | 'too-large'
  | 'bad-code'
  | 'unknown-room'
  | 'room-full'
  | 'wrong-game'
  | 'bad-players'
  | 'too-many-rooms'
  | 'already-in-room'
  | 'not-in-room';

export class RoomError extends Error {
  constructor(
    readonly kind: RoomErrorKind,
    message: string,
  ) {
    super(message);
    this.name = 'RoomError';
  }

  toMessage(): ServerMessage {
    return { type: 'error', kind: this.kind, message: this.message };
  }
}

export const hostLeftReason = 'The host left the room.';

// A message of a player, or the error that says what is wrong with it.
export function parseClientMessage(text: string): ClientMessage | RoomError {
  let value: unknown;
  try {
    value = JSON.parse(text);
  } catch {
    return malformed('Messages are JSON objects; this one is not JSON.');
  }
  if (typeof value !== 'object' || value === null || Array.isArray(value)) return malformed('Messages are JSON objects.');
  const message = value as Record<string, unknown>;
  switch (message['type']) {
    case 'join': {
      const { code, game, players, create } = message;
      if (typeof code !== 'string' || typeof game !== 'string' || game === '') {
        return malformed('A join names the room "code" and the "game" (strings).');
      }
      if (typeof players !== 'number' || !Number.isInteger(players)) return malformed('A join gives the room\'s "players" as a whole number.');
      if (create !== undefined && typeof create !== 'boolean') return malformed('A join\'s "create" is true or false.');
      return { type: 'join', code, game, players, create: create === true };
    }
    case 'send':
      if (!('data' in message)) return malformed('A send carries its "data".');
      return { type: 'send', data: message['data'] };
    case 'leave':
      return { type: 'leave' };
    default:
      return malformed('A message\'s "type" is "join", "send" or "leave".');
  }
}

function malformed(message: string): RoomError {
  return new RoomError('malformed', message);
}
