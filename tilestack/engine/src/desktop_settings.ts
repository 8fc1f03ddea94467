// Finder's desktop settings for the length of a game: the board's icon size, icons left where
// the engine puts them (not arranged, so Finder does not snap tiles to its grid) and no labels.
// Whatever was changed is put back at the end.

import type { IconController } from './companions/contracts.ts';
import { describeError, isUnrecoverable } from './failure.ts';

type Setting = 'icon size' | 'arrangement' | 'labels';

interface Change {
  setting: Setting;
  restore: () => Promise<unknown>;
}

const notArranged = 'not arranged';

export class DesktopSettings {
  readonly #changes: Change[] = [];

  constructor(
    private readonly icons: IconController,
    private readonly log: (line: string) => void,
  ) {}

  // A setting that cannot be read is left alone, since it could not be put back; one that
  // cannot be set is logged and the game goes on. A Glyphon that is gone is thrown.
  async apply(iconSize: number): Promise<void> {
    const originalSize = await this.#read('icon size', () => this.icons.iconSize());
    if (originalSize !== null && originalSize !== iconSize) {
      await this.#change('icon size', async () => {
        const reported = await this.icons.iconSizeSet(iconSize);
        if (reported !== iconSize) this.log(`Finder shows icons at ${reported} instead of ${iconSize}`);
      }, () => this.icons.iconSizeSet(originalSize));
    }

    const originalArrangement = await this.#read('arrangement', () => this.icons.gridArrangement());
    if (originalArrangement !== null && originalArrangement !== notArranged) {
      await this.#change('arrangement', () => this.icons.gridArrangementSet(notArranged), () => this.icons.gridArrangementSet(originalArrangement));
    }

    const labelsVisible = await this.#read('labels', () => this.icons.desktopLabelsVisible());
    if (labelsVisible === true) {
      await this.#change('labels', () => this.icons.desktopLabelsSet(false), () => this.icons.desktopLabelsSet(true));
    }
  }

  // Puts back every changed setting, last change first. Resolves with the problems met.
  async restore(): Promise<string[]> {
    const problems: string[] = [];
    for (const change of this.#changes.splice(0).reverse()) {
      try {
        await change.restore();
      } catch (error) {
        problems.push(`cannot put Finder's ${change.setting} back: ${describeError(error)}`);
      }
    }
    return problems;
  }

  async #read<T>(setting: Setting, read: () => Promise<T>): Promise<T | null> {
    try {
      return await read();
    } catch (error) {
      if (isUnrecoverable(error)) throw error;
      this.log(`cannot read Finder's ${setting}, so it stays as it is: ${describeError(error)}`);
      return null;
    }
  }

  // A set that fails may still have taken effect: it is put back in any case.
  async #change(setting: Setting, set: () => Promise<unknown>, restore: () => Promise<unknown>): Promise<void> {
    this.#changes.push({ setting, restore });
    try {
      await set();
    } catch (error) {
      if (isUnrecoverable(error)) throw error;
      this.log(`cannot change Finder's ${setting}: ${describeError(error)}`);
    }
  }
}
