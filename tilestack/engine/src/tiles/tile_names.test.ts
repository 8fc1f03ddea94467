import { test } from 'node:test';
import assert from 'node:assert/strict';
import { TileNames, isTileName, tileName, tileNameCount } from './tile_names.ts';

test('tile names are 14 thin or hair spaces, one per binary digit, all different', () => {
  assert.equal(tileName(0), '\u2009'.repeat(14));
  assert.equal(tileName(tileNameCount - 1), '\u200a'.repeat(14));
  assert.equal(tileName(5), `${'\u2009'.repeat(11)}\u200a\u2009\u200a`);
  const names = new Set<string>();
  for (let number = 0; number < tileNameCount; number += 1) {
    const name = tileName(number);
    assert.ok(isTileName(name));
    names.add(name);
  }
  assert.equal(names.size, 16384);
  assert.throws(() => tileName(tileNameCount), RangeError);
  assert.equal(isTileName(' '.repeat(14)), false);
  assert.equal(isTileName('\u2009'.repeat(13)), false);
});

test('fresh names come first, then released ones, then none', () => {
  const names = new TileNames();
  const first = names.take();
  assert.equal(first, tileName(0));
  names.release(tileName(0));
  for (let number = 1; number < tileNameCount; number += 1) assert.equal(names.take(), tileName(number));
  assert.equal(names.take(), tileName(0));
  assert.equal(names.take(), null);
});
