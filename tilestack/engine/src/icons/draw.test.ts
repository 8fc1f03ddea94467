import { test } from 'node:test';
import assert from 'node:assert/strict';
import { lookPng, renderLook } from './draw.ts';
import { glyphFor } from './font.ts';
import { readPng } from '../test_fixtures/read_png.ts';
import { EngineFailure } from '../failure.ts';
import type { Look } from '../game.ts';

function pixelAt(image: { width: number; pixels: Uint8Array }, x: number, y: number): number[] {
  const offset = (y * image.width + x) * 4;
  return [...image.pixels.subarray(offset, offset + 4)];
}

function countPixels(image: { pixels: Uint8Array }, rgba: number[]): number {
  let count = 0;
  for (let offset = 0; offset < image.pixels.length; offset += 4) {
    if (rgba.every((value, index) => image.pixels[offset + index] === value)) count += 1;
  }
  return count;
}

test('a square fills the whole icon; a disc leaves its corners transparent', () => {
  const square = renderLook({ fill: '#3366cc' }, 32);
  assert.equal(countPixels(square, [0x33, 0x66, 0xcc, 255]), 32 * 32);

  const disc = renderLook({ fill: '#3366CC', shape: 'round' }, 32);
  for (const [x, y] of [[0, 0], [31, 0], [0, 31], [31, 31]] as const) assert.deepEqual(pixelAt(disc, x, y), [0, 0, 0, 0]);
  for (const [x, y] of [[16, 16], [0, 16], [16, 0], [31, 16]] as const) assert.deepEqual(pixelAt(disc, x, y), [0x33, 0x66, 0xcc, 255]);
  const filled = countPixels(disc, [0x33, 0x66, 0xcc, 255]);
  assert.ok(Math.abs(filled - Math.PI * 16 * 16) < 32, `${filled} pixels near the disc's area`);
});

test('text is drawn centred in the ink, scaled up by whole pixels', () => {
  const image = renderLook({ fill: '#ffffff', text: '7', ink: '#ff0000' }, 64);
  const glyph = glyphFor('7');
  const inkCells = glyph.flat().filter(Boolean).length;
  // One character in a 64 icon: scale min(0.8·64/5, 0.6·64/7) = 5.
  assert.equal(countPixels(image, [255, 0, 0, 255]), inkCells * 25);
  // The top row of a 7 is a full bar: from x = (64 − 25) / 2 = 19, at y = (64 − 35) / 2 = 14.
  assert.deepEqual(pixelAt(image, 19, 14), [255, 0, 0, 255]);
  assert.deepEqual(pixelAt(image, 43, 18), [255, 0, 0, 255]);
  assert.deepEqual(pixelAt(image, 18, 14), [255, 255, 255, 255]);
  assert.deepEqual(pixelAt(image, 44, 14), [255, 255, 255, 255]);
});

test('ink defaults to black on light fills and white on dark ones; small letters draw as capitals', () => {
  const cases: { look: Look; ink: number[] }[] = [
    { look: { fill: '#f0f0a0', text: '8' }, ink: [0, 0, 0, 255] },
    { look: { fill: '#202060', text: '8' }, ink: [255, 255, 255, 255] },
  ];
  for (const { look, ink } of cases) assert.ok(countPixels(renderLook(look, 48), ink) > 0, look.fill);
  assert.deepEqual(renderLook({ fill: '#202060', text: 'k' }, 48), renderLook({ fill: '#202060', text: 'K' }, 48));
  assert.deepEqual(renderLook({ fill: '#202060', text: '~' }, 48), renderLook({ fill: '#202060', text: '?' }, 48));
});

test('colours that are not #rrggbb are the game’s failure', () => {
  const looks: Look[] = [{ fill: 'red' }, { fill: '#12345' }, { fill: '#123456', text: '1', ink: '#12345g' }];
  for (const look of looks) {
    assert.throws(
      () => renderLook(look, 16),
      (error: unknown) => error instanceof EngineFailure && error.kind === 'game',
      JSON.stringify(look),
    );
  }
});

test('tile PNGs stay small enough for an extended attribute', () => {
  const looks: Look[] = [
    { fill: '#22aa44' },
    { fill: '#cc3322', shape: 'round', text: '2048' },
    { fill: '#eeeeee', text: 'WXYZ', ink: '#101010' },
  ];
  for (const look of looks) {
    for (const size of [16, 64, 128]) {
      const png = lookPng(look, size);
      assert.ok(png.length < 3000, `${JSON.stringify(look)} at ${size}: ${png.length} bytes`);
      assert.equal(readPng(png).width, size);
    }
  }
});
