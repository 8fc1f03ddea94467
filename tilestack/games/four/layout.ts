// The 7 × 6 board at a large icon size, with room above it for the marker.

import type { BoardRequest, DesktopMetrics } from '@tilestack/engine';
import { cols, rows } from './board.ts';

const smallestIconSize = 48;
const largestIconSize = 112;
const iconSizeStep = 8;
// The engine leaves a quarter of an icon between neighbouring icons.
const pitchPerIconSize = 1.25;
// The board, the marker's row above it and a row of margin; a column of margin each side.
const rowsOfRoom = rows + 2;
const colsOfRoom = cols + 2;

export function fourBoard(metrics: DesktopMetrics): BoardRequest {
  const pitch = Math.min(metrics.width / colsOfRoom, (metrics.height - 24) / rowsOfRoom);
  const stepped = Math.floor(pitch / pitchPerIconSize / iconSizeStep) * iconSizeStep;
  return { cols, rows, iconSize: Math.min(largestIconSize, Math.max(smallestIconSize, stepped)) };
}
