// The rules of snake as pure functions over a round: steering, moving, eating, crashing.

export type Direction = 'left' | 'right' | 'up' | 'down';

export interface Spot {
  col: number;
  row: number;
}

// A snake segment keeps its key for as long as it lives, so that drawing a move touches only
// the tiles that really changed.
export interface Segment extends Spot {
  key: string;
}

export type Phase = 'ready' | 'playing' | 'crashed' | 'filled';

export interface Round {
  cols: number;
  rows: number;
  // Head first.
  segments: Segment[];
  heading: Direction;
  // Turns pressed since the snake last moved, applied one per move so quick turns all count.
  turns: Direction[];
  food: Spot | null;
  phase: Phase;
  eaten: number;
  // Names the next segment that grows.
  nextSegment: number;
}

export type MoveOutcome = 'moved' | 'ate' | 'crashed' | 'filled';

const stepOf: Record<Direction, Spot> = {
  left: { col: -1, row: 0 },
  right: { col: 1, row: 0 },
  up: { col: 0, row: -1 },
  down: { col: 0, row: 1 },
};

const oppositeOf: Record<Direction, Direction> = { left: 'right', right: 'left', up: 'down', down: 'up' };

// More queued turns than this would steer long after the player pressed them.
const maxQueuedTurns = 3;

const startLength = 3;
export const headKey = 'head';

function same(a: Spot, b: Spot): boolean {
  return a.col === b.col && a.row === b.row;
}

// A free cell chosen at random, or null when the snake fills the board.
export function placeFood(cols: number, rows: number, taken: readonly Spot[], random: () => number): Spot | null {
  const occupied = new Set(taken.map((spot) => spot.row * cols + spot.col));
  const free: Spot[] = [];
  for (let row = 0; row < rows; row++) {
    for (let col = 0; col < cols; col++) {
      if (!occupied.has(row * cols + col)) free.push({ col, row });
    }
  }
  return free[Math.floor(random() * free.length)] ?? null;
}

// A snake in the middle row, its head a third of the way across, heading right.
export function newRound(cols: number, rows: number, random: () => number): Round {
  const row = Math.floor(rows / 2);
  const headCol = Math.max(startLength - 1, Math.floor(cols / 3));
  const segments: Segment[] = Array.from({ length: startLength }, (_, i) => ({
    key: i === 0 ? headKey : `body-${i}`,
    col: headCol - i,
    row,
  }));
  return {
    cols,
    rows,
    segments,
    heading: 'right',
    turns: [],
    food: placeFood(cols, rows, segments, random),
    phase: 'ready',
    eaten: 0,
    nextSegment: startLength,
  };
}

// Queues a turn; turning the way the snake already goes, or back into its own neck, is ignored.
export function queueTurn(round: Round, direction: Direction): Round {
  const last = round.turns.at(-1) ?? round.heading;
  if (direction === last || direction === oppositeOf[last] || round.turns.length >= maxQueuedTurns) return round;
  return { ...round, turns: [...round.turns, direction] };
}

// Moves the snake one cell. Without food the tail segment becomes the neck (the head moves on),
// so the tail's cell is free to enter; with food a new segment fills the neck and the snake grows.
export function advance(round: Round, random: () => number): { round: Round; outcome: MoveOutcome } {
  const [heading = round.heading, ...turns] = round.turns;
  const [head, ...body] = round.segments;
  if (head === undefined) throw new Error('a snake always has a head');
  const step = stepOf[heading];
  const next = { col: head.col + step.col, row: head.row + step.row };
  const eats = round.food !== null && same(next, round.food);
  const staying = eats ? body : body.slice(0, -1);
  const outside = next.col < 0 || next.row < 0 || next.col >= round.cols || next.row >= round.rows;
  if (outside || staying.some((segment) => same(segment, next))) {
    return { round: { ...round, heading, turns: [], phase: 'crashed' }, outcome: 'crashed' };
  }
  const tail = body.at(-1);
  const neckKey = eats || tail === undefined ? `body-${round.nextSegment}` : tail.key;
  const segments: Segment[] = [
    { key: head.key, ...next },
    ...(body.length > 0 || eats ? [{ key: neckKey, col: head.col, row: head.row }] : []),
    ...staying,
  ];
  if (!eats) return { round: { ...round, segments, heading, turns }, outcome: 'moved' };
  const food = placeFood(round.cols, round.rows, segments, random);
  const grown = { ...round, segments, heading, turns, food, eaten: round.eaten + 1, nextSegment: round.nextSegment + 1 };
  if (food === null) return { round: { ...grown, phase: 'filled' }, outcome: 'filled' };
  return { round: grown, outcome: 'ate' };
}
