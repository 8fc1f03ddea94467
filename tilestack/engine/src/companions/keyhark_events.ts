// Keyhark's event lines: key presses in keyboard mode, mouse gestures in mouse mode. A line that
// does not have the shape of an event is dropped.

import type { MouseEvent } from './contracts.ts';
import { isFiniteNumber, parseJsonObject } from './json_values.ts';

export interface KeyEvent {
  // The platform's virtual key code.
  keyCode: number;
  // What the key types, ignoring modifiers; empty for keys that type nothing.
  char: string;
}

const mouseTypes: ReadonlyArray<MouseEvent['type']> = ['mousedown', 'mouseup', 'click', 'rightclick', 'dragstart', 'drag', 'dragend'];

export function parseMouseEvent(line: string): MouseEvent | null {
  const object = parseJsonObject(line);
  if (!object) return null;
  const type = mouseTypes.find((candidate) => candidate === object['type']);
  const { x, y, target } = object;
  if (!type || !isFiniteNumber(x) || !isFiniteNumber(y)) return null;
  if (target !== undefined && typeof target !== 'string') return null;
  return target === undefined ? { type, x, y } : { type, x, y, target };
}

export function parseKeyEvent(line: string): KeyEvent | null {
  const object = parseJsonObject(line);
  if (!object || object['type'] !== 'keydown') return null;
  const { keyCode, char } = object;
  if (!Number.isInteger(keyCode) || (keyCode as number) < 0 || typeof char !== 'string') return null;
  return { keyCode: keyCode as number, char };
}
