import { test } from 'node:test';
import assert from 'node:assert/strict';
import { keyNameOf } from './keys.ts';

test('virtual key codes map to key names, other codes to null', () => {
  const cases: [number, string | null][] = [
    [123, 'left'],
    [124, 'right'],
    [125, 'down'],
    [126, 'up'],
    [36, 'return'],
    [76, 'return'],
    [49, 'space'],
    [53, 'escape'],
    [48, 'tab'],
    [51, 'delete'],
    [0, null], // the A key
    [117, null], // forward delete is not delete
    [-1, null],
  ];
  for (const [code, name] of cases) assert.equal(keyNameOf(code), name, `key code ${code}`);
});
