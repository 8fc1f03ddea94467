// Renders a tile's look (a filled square or disc with an optional short text) as the pixels of
// its icon. No anti-aliasing: the icons are flat and their PNGs stay small.

import type { Look } from '../game.ts';
import { EngineFailure } from '../failure.ts';
import { glyphFor, glyphHeight, glyphWidth } from './font.ts';
import { encodePng, type RgbaImage } from './png.ts';

type Rgb = readonly [number, number, number];

export function parseColour(text: string): Rgb | null {
  const match = /^#([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})$/.exec(text);
  if (match === null) return null;
  return [parseInt(match[1] ?? '', 16), parseInt(match[2] ?? '', 16), parseInt(match[3] ?? '', 16)];
}

function colourOf(text: string, role: string): Rgb {
  const colour = parseColour(text);
  if (colour === null) throw new EngineFailure('game', `a tile's ${role} is ${JSON.stringify(text)}; colours are written "#rrggbb"`);
  return colour;
}

// Text without its own colour is black on light fills and white on dark ones.
function contrastingInk(fill: Rgb): Rgb {
  const luminance = 0.299 * fill[0] + 0.587 * fill[1] + 0.114 * fill[2];
  return luminance > 140 ? [0, 0, 0] : [255, 255, 255];
}

// Throws an EngineFailure of kind 'game' for a colour that is not "#rrggbb".
export function renderLook(look: Look, size: number): RgbaImage {
  const fill = colourOf(look.fill, 'fill');
  const ink = look.ink === undefined ? contrastingInk(fill) : colourOf(look.ink, 'ink');
  const round = look.shape === 'round';
  const pixels = new Uint8Array(size * size * 4);

  const radius = size / 2;
  for (let y = 0; y < size; y += 1) {
    for (let x = 0; x < size; x += 1) {
      if (round) {
        const dx = x + 0.5 - radius;
        const dy = y + 0.5 - radius;
        if (dx * dx + dy * dy > radius * radius) continue;
      }
      paint(pixels, size, x, y, fill);
    }
  }

  const text = look.text ?? '';
  if (text.length > 0) drawText(pixels, size, [...text], ink, round ? 0.6 : 0.8);
  return { width: size, height: size, pixels };
}

export function lookPng(look: Look, size: number): Buffer {
  return encodePng(renderLook(look, size));
}

// Centred, at the largest whole scale that keeps the text within `widthShare` of the icon
// and its height within 60 % of it.
function drawText(pixels: Uint8Array, size: number, characters: string[], ink: Rgb, widthShare: number): void {
  const columns = characters.length * (glyphWidth + 1) - 1;
  const scale = Math.max(1, Math.floor(Math.min((size * widthShare) / columns, (size * 0.6) / glyphHeight)));
  const left = Math.floor((size - columns * scale) / 2);
  const top = Math.floor((size - glyphHeight * scale) / 2);
  characters.forEach((character, index) => {
    const glyph = glyphFor(character);
    const glyphLeft = left + index * (glyphWidth + 1) * scale;
    glyph.forEach((row, glyphRow) => {
      row.forEach((on, glyphColumn) => {
        if (!on) return;
        for (let dy = 0; dy < scale; dy += 1) {
          for (let dx = 0; dx < scale; dx += 1) {
            const x = glyphLeft + glyphColumn * scale + dx;
            const y = top + glyphRow * scale + dy;
            if (x >= 0 && x < size && y >= 0 && y < size) paint(pixels, size, x, y, ink);
          }
        }
      });
    });
  });
}

function paint(pixels: Uint8Array, size: number, x: number, y: number, colour: Rgb): void {
  const offset = (y * size + x) * 4;
  pixels[offset] = colour[0];
  pixels[offset + 1] = colour[1];
  pixels[offset + 2] = colour[2];
  pixels[offset + 3] = 255;
}
