// The rooms of one roomd: who sits where, and the ordered stream of what happens in each room.
// Every event of a room (a player joining, the host included, or leaving, a relayed message)
// takes the room's next sequence number and reaches every other player in that order. The host opens the room; when
// the host leaves, the room ends for everyone.

import { isRoomCode } from './room_codes.ts';
import { RoomError, hostLeftReason, largestRoom, smallestRoom, type LeaveReason, type Player, type ServerMessage } from './protocol.ts';

// One connected player, as the hall sees it.
export interface Member {
  // The account's display name, or null for a guest.
  readonly account: string | null;
  // The network address the player connects from.
  readonly address: string;
  deliver(message: ServerMessage): void;
  // Ends the connection once the room has ended.
  end(): void;
}

export interface HallLimits {
  roomsPerAddress: number;
}

interface Room {
  code: string;
  game: string;
  players: number;
  host: Member;
  seats: (Seated | null)[];
  seq: number;
}

interface Seated {
  member: Member;
  name: string;
}

export class RoomHall {
  readonly #limits: HallLimits;
  readonly #rooms = new Map<string, Room>();
  readonly #places = new Map<Member, { room: Room; seat: number }>();

  constructor(limits: HallLimits) {
    this.#limits = limits;
  }

  get roomCount(): number {
    return this.#rooms.size;
  }

  join(member: Member, request: { code: string; game: string; players: number; create: boolean }): void {
    const { code, game, players, create } = request;
    if (this.#places.has(member)) throw new RoomError('already-in-room', 'This connection already has a seat in a room; leave it first.');
    if (!isRoomCode(code)) throw new RoomError('bad-code', `"${code}" is not a room code: codes look like swift-falcon-42.`);
    if (players < smallestRoom || players > largestRoom) {
      throw new RoomError('bad-players', `A room holds ${smallestRoom} to ${largestRoom} players, not ${players}.`);
    }
    let room = this.#rooms.get(code);
    if (room === undefined) {
      if (!create) throw new RoomError('unknown-room', `No room has the code ${code}.`);
      const hosted = [...this.#rooms.values()].filter((open) => open.host.address === member.address).length;
      if (hosted >= this.#limits.roomsPerAddress) {
        throw new RoomError('too-many-rooms', `Your address already has ${hosted} open rooms, the most it may have; close one first.`);
      }
      room = { code, game, players, host: member, seats: new Array<Seated | null>(players).fill(null), seq: 0 };
      this.#rooms.set(code, room);
    } else {
      if (room.game !== game) throw new RoomError('wrong-game', `The room ${code} plays ${room.game}, not ${game}.`);
      if (room.players !== players) throw new RoomError('bad-players', `The room ${code} is for ${room.players} players, not ${players}.`);
    }
    const seat = room.seats.indexOf(null);
    if (seat < 0) throw new RoomError('room-full', `The room ${code} is full: all ${room.players} seats are taken.`);

    const name = member.account ?? `Guest ${seat + 1}`;
    room.seats[seat] = { member, name };
    this.#places.set(member, { room, seat });
    this.#broadcast(room, member, (seq) => ({ type: 'joined', seq, seat, name }));
    member.deliver({
      type: 'welcome',
      code,
      game: room.game,
      players: room.players,
      seat,
      host: room.host === member,
      members: membersOf(room),
      seq: room.seq,
    });
  }

  send(member: Member, data: unknown): void {
    const place = this.#places.get(member);
    if (place === undefined) throw new RoomError('not-in-room', 'Join a room before sending messages.');
    this.#broadcast(place.room, member, (seq) => ({ type: 'message', seq, from: place.seat, data }));
  }

  // The player leaves its room (if it has one); the host's leaving ends the room.
  leave(member: Member, reason: LeaveReason): void {
    const place = this.#places.get(member);
    if (place === undefined) return;
    const { room, seat } = place;
    this.#places.delete(member);
    const name = room.seats[seat]?.name ?? '';
    room.seats[seat] = null;
    if (room.host === member) {
      this.#rooms.delete(room.code);
      for (const seated of room.seats) {
        if (seated === null) continue;
        this.#places.delete(seated.member);
        seated.member.deliver({ type: 'closed', reason: hostLeftReason });
        seated.member.end();
      }
      return;
    }
    this.#broadcast(room, member, (seq) => ({ type: 'left', seq, seat, name, reason }));
  }

  #broadcast(room: Room, from: Member, message: (seq: number) => ServerMessage): void {
    room.seq += 1;
    const event = message(room.seq);
    for (const seated of room.seats) if (seated !== null && seated.member !== from) seated.member.deliver(event);
  }
}

function membersOf(room: Room): Player[] {
  return room.seats.flatMap((seated, seat) => (seated === null ? [] : [{ seat, name: seated.name }]));
}
