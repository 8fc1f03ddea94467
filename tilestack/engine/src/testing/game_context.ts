// A game context for tests: a board of the given size, a seeded random source, a room seat when
// given one, and a record of the sounds played, the room messages sent and of leaving.

import type { Board, GameContext } from '../game.ts';
import type { RoomSeat } from '../room/room_client.ts';
import { randomSource } from '../random.ts';

export interface FakeContext extends GameContext {
  readonly played: string[];
  // What the game sent to the other players of its room.
  readonly sent: unknown[];
  readonly left: boolean;
}

// The engine's own seeded source, so tests replay what a seeded session does.
export function seededRandom(seed: number): () => number {
  return randomSource(seed);
}

export function fakeBoard(cols: number, rows: number): Board {
  const pitch = 60;
  return {
    cols,
    rows,
    iconSize: 48,
    pitch,
    metrics: { width: 1440, height: 900, iconSize: 48 },
    centreOf: (cell) => ({ x: cell.col * pitch + pitch / 2, y: cell.row * pitch + pitch / 2 }),
    cellAt: (point) => {
      const cell = { col: Math.floor(point.x / pitch), row: Math.floor(point.y / pitch) };
      return cell.col >= 0 && cell.col < cols && cell.row >= 0 && cell.row < rows ? cell : null;
    },
  };
}

export function fakeContext(cols: number, rows: number, seed = 1, args: readonly string[] = [], seat: RoomSeat | null = null): FakeContext {
  const random = seededRandom(seed);
  const played: string[] = [];
  const sent: unknown[] = [];
  let left = false;
  return {
    board: fakeBoard(cols, rows),
    args,
    room: seat === null ? null : { seat, send: (data) => sent.push(data) },
    tick: 0,
    random,
    play: (sound) => played.push(sound),
    leave: () => {
      left = true;
    },
    played,
    sent,
    get left() {
      return left;
    },
  };
}
