// The 7 × 7 board at the largest icon size that fits with a margin of one square all round.

import type { BoardRequest, DesktopMetrics } from '@tilestack/engine';
import { size } from './rules.ts';

const smallestIconSize = 48;
const largestIconSize = 96;
const iconSizeStep = 8;
// The engine leaves a quarter of an icon between neighbouring icons.
const pitchPerIconSize = 1.25;
const squaresOfRoom = size + 2;

export function cornersBoard(metrics: DesktopMetrics): BoardRequest {
  const pitch = Math.min(metrics.width, metrics.height - 24) / squaresOfRoom;
  const stepped = Math.floor(pitch / pitchPerIconSize / iconSizeStep) * iconSizeStep;
  return { cols: size, rows: size, iconSize: Math.min(largestIconSize, Math.max(smallestIconSize, stepped)) };
}
