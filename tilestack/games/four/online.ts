// What the two players of an online game tell each other through the room: the column the
// marker is over, a drop, and starting the next game. A message that is none of these, or that
// comes from anyone but the opponent, changes nothing.

import { cols } from './board.ts';

export type Move = { aim: number } | { drop: number } | { again: true };

export function parseMove(data: unknown): Move | null {
  if (typeof data !== 'object' || data === null) return null;
  const value = data as Record<string, unknown>;
  const isColumn = (col: unknown): col is number => typeof col === 'number' && Number.isInteger(col) && col >= 0 && col < cols;
  if (isColumn(value['aim'])) return { aim: value['aim'] };
  if (isColumn(value['drop'])) return { drop: value['drop'] };
  if (value['again'] === true) return { again: true };
  return null;
}
