// Tile files have invisible names, so their icons show no label: 14 characters, each a thin
// space or a hair space, read as the binary digits of a number.

const thinSpace = '\u2009'; // 0
const hairSpace = '\u200a'; // 1
export const tileNameLength = 14;
export const tileNameCount = 2 ** tileNameLength;

export function tileName(number: number): string {
  if (!Number.isInteger(number) || number < 0 || number >= tileNameCount) {
    throw new RangeError(`tile names are numbered 0 to ${tileNameCount - 1}, not ${number}`);
  }
  let name = '';
  for (let bit = tileNameLength - 1; bit >= 0; bit -= 1) name += (number >> bit) & 1 ? hairSpace : thinSpace;
  return name;
}

export function isTileName(name: string): boolean {
  return name.length === tileNameLength && [...name].every((character) => character === thinSpace || character === hairSpace);
}

// Hands out names never used in this session first, so Glyphon never mistakes a new file for
// an old one it placed; names of removed tiles come back once the fresh ones run out.
export class TileNames {
  #nextFresh = 0;
  readonly #released: string[] = [];

  take(): string | null {
    if (this.#nextFresh < tileNameCount) {
      const name = tileName(this.#nextFresh);
      this.#nextFresh += 1;
      return name;
    }
    return this.#released.shift() ?? null;
  }

  release(name: string): void {
    this.#released.push(name);
  }
}
