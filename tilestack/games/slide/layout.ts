// The 4 × 4 board at a large icon size, leaving a row of room above it for the celebration.

import type { BoardRequest, DesktopMetrics } from '@tilestack/engine';
import { side } from './rules.ts';

const smallestIconSize = 48;
const largestIconSize = 128;
const iconSizeStep = 8;
// The engine leaves a quarter of an icon between neighbouring icons.
const pitchPerIconSize = 1.25;
// The board's rows, the row the wave hops into, and a row of margin.
const rowsOfRoom = side + 2;

export function slideBoard(metrics: DesktopMetrics): BoardRequest {
  const fitting = Math.min(metrics.width, metrics.height - 24) / (rowsOfRoom * pitchPerIconSize);
  const stepped = Math.floor(fitting / iconSizeStep) * iconSizeStep;
  return { cols: side, rows: side, iconSize: Math.min(largestIconSize, Math.max(smallestIconSize, stepped)) };
}
