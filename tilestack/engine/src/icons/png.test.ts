import { test } from 'node:test';
import assert from 'node:assert/strict';
import { crc32 } from './crc32.ts';
import { encodePng } from './png.ts';
import { readPng } from '../test_fixtures/read_png.ts';

test('crc32 gives the standard check values', () => {
  assert.equal(crc32(Buffer.from('123456789')), 0xcbf43926);
  assert.equal(crc32(Buffer.alloc(0)), 0);
  assert.equal(crc32(Buffer.from('IEND')), 0xae426082);
});

test('the PNG decodes to the same pixels, with valid header and CRCs', () => {
  // 3 × 2, every pixel different, including transparency.
  const pixels = new Uint8Array([
    255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
    10, 20, 30, 0, 40, 50, 60, 128, 255, 255, 255, 255,
  ]);
  const decoded = readPng(encodePng({ width: 3, height: 2, pixels }));
  assert.deepEqual(decoded.chunkTypes, ['IHDR', 'IDAT', 'IEND']);
  assert.equal(decoded.width, 3);
  assert.equal(decoded.height, 2);
  assert.deepEqual(decoded.pixels, pixels);
});

test('sizes and pixel counts that do not match are refused', () => {
  const cases = [
    { width: 0, height: 1, pixels: new Uint8Array(0) },
    { width: 2, height: 2, pixels: new Uint8Array(15) },
    { width: 1.5, height: 2, pixels: new Uint8Array(12) },
  ];
  for (const image of cases) assert.throws(() => encodePng(image), RangeError);
});
