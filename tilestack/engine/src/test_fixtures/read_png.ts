// A strict reader of the PNGs the engine writes (8-bit RGBA, unfiltered rows), checking every
// chunk's CRC against zlib's own, for tests.

import assert from 'node:assert/strict';
import zlib from 'node:zlib';
import type { RgbaImage } from '../icons/png.ts';

export function readPng(png: Buffer): RgbaImage & { chunkTypes: string[] } {
  assert.deepEqual([...png.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a], 'signature');
  const chunkTypes: string[] = [];
  const compressed: Buffer[] = [];
  let width = 0;
  let height = 0;
  let offset = 8;
  while (offset < png.length) {
    const length = png.readUInt32BE(offset);
    const typeAndData = png.subarray(offset + 4, offset + 8 + length);
    const type = typeAndData.subarray(0, 4).toString('latin1');
    const data = typeAndData.subarray(4);
    assert.equal(png.readUInt32BE(offset + 8 + length), zlib.crc32(typeAndData), `CRC of ${type}`);
    chunkTypes.push(type);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      assert.deepEqual([...data.subarray(8)], [8, 6, 0, 0, 0], 'bit depth 8, RGBA, no interlace');
    }
    if (type === 'IDAT') compressed.push(data);
    offset += 12 + length;
  }
  assert.equal(offset, png.length, 'chunks end with the file');
  const scanlines = zlib.inflateSync(Buffer.concat(compressed));
  const rowLength = width * 4;
  assert.equal(scanlines.length, (rowLength + 1) * height);
  const pixels = new Uint8Array(width * height * 4);
  for (let row = 0; row < height; row += 1) {
    assert.equal(scanlines[row * (rowLength + 1)], 0, `row ${row} filter`);
    pixels.set(scanlines.subarray(row * (rowLength + 1) + 1, (row + 1) * (rowLength + 1)), row * rowLength);
  }
  return { width, height, pixels, chunkTypes };
}
