// A PNG encoder for the tile icons: 8-bit RGBA, no interlacing, every row unfiltered. Tile
// images are flat colours, which deflate squeezes to a few hundred bytes.

import zlib from 'node:zlib';
import { crc32 } from './crc32.ts';

export interface RgbaImage {
  width: number;
  height: number;
  // width × height pixels, four bytes each (red, green, blue, alpha), row by row from the top.
  pixels: Uint8Array;
}

const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

export function encodePng(image: RgbaImage): Buffer {
  const { width, height, pixels } = image;
  if (!Number.isInteger(width) || !Number.isInteger(height) || width < 1 || height < 1) {
    throw new RangeError(`a PNG needs a positive whole size, not ${width} × ${height}`);
  }
  if (pixels.length !== width * height * 4) {
    throw new RangeError(`${width} × ${height} RGBA pixels take ${width * height * 4} bytes, not ${pixels.length}`);
  }

  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 8; // bits per channel
  header[9] = 6; // RGBA
  // Compression, filter and interlace methods stay 0.

  const rowLength = width * 4;
  const scanlines = Buffer.alloc((rowLength + 1) * height);
  for (let row = 0; row < height; row += 1) {
    // Each row starts with its filter type, 0 (none).
    scanlines.set(pixels.subarray(row * rowLength, (row + 1) * rowLength), row * (rowLength + 1) + 1);
  }

  return Buffer.concat([
    signature,
    chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(scanlines, { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}

function chunk(type: string, data: Buffer): Buffer {
  const typeAndData = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length, 0);
  const checksum = Buffer.alloc(4);
  checksum.writeUInt32BE(crc32(typeAndData), 0);
  return Buffer.concat([length, typeAndData, checksum]);
}
