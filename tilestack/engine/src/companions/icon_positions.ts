// Glyphon's text of desktop icon positions: one line per icon, tab-separated file name, centre
// x, centre y, width and height (whole numbers). When a name appears twice (a desktop icon and
// an item of an open Finder window), the first line is the desktop's.

import type { Point } from './contracts.ts';

export function parseIconPositions(text: string): Map<string, Point> {
  const centres = new Map<string, Point>();
  for (const line of text.split('\n')) {
    const fields = line.split('\t');
    if (fields.length < 5) continue;
    // A tab inside a file name splits it; the four numbers are always the last fields.
    const name = fields.slice(0, -4).join('\t');
    const [x, y] = fields.slice(-4, -2).map(Number);
    if (name === '' || x === undefined || y === undefined || !Number.isFinite(x) || !Number.isFinite(y)) continue;
    if (!centres.has(name)) centres.set(name, { x, y });
  }
  return centres;
}
