import type { KeyName } from './game.ts';

// macOS virtual key codes (US layout) of the keys games name; every other key reaches the game
// by its code and character only.
const keyNamesByCode: ReadonlyMap<number, KeyName> = new Map<number, KeyName>([
  [123, 'left'],
  [124, 'right'],
  [125, 'down'],
  [126, 'up'],
  [36, 'return'],
  [76, 'return'], // keypad enter
  [49, 'space'],
  [53, 'escape'],
  [48, 'tab'],
  [51, 'delete'],
]);

export function keyNameOf(keyCode: number): KeyName | null {
  return keyNamesByCode.get(keyCode) ?? null;
}
