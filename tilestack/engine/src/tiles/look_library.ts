// Each distinct look is drawn once per session: its PNG, and a template file carrying it as its
// custom icon, from which Glyphon copies new tiles. Both live in the session's cache folder,
// on the Desktop's file system so that the icon's extended attributes survive the copy.

import fs from 'node:fs';
import path from 'node:path';
import type { IconController } from '../companions/contracts.ts';
import type { Look } from '../game.ts';
import { lookPng } from '../icons/draw.ts';

// Looks that draw the same have the same key.
export function lookKey(look: Look): string {
  return JSON.stringify([look.fill.toLowerCase(), look.text ?? '', look.ink?.toLowerCase() ?? '', look.shape ?? 'square']);
}

interface LookFiles {
  image: string;
  template: Promise<string> | null;
}

export class LookLibrary {
  readonly #looks = new Map<string, LookFiles>();

  constructor(
    private readonly icons: Pick<IconController, 'iconSetPath'>,
    private readonly folder: string,
    private readonly iconSize: number,
  ) {}

  // The look's PNG, drawn on first use. Throws an EngineFailure of kind 'game' for a look
  // that cannot be drawn.
  imageFor(look: Look): string {
    return this.#filesFor(look).image;
  }

  // A file whose custom icon is the look, made on first use; a failed attempt is tried again
  // on the next use.
  templateFor(look: Look): Promise<string> {
    const files = this.#filesFor(look);
    if (files.template === null) {
      const template = files.image.replace(/\.png$/, '.tile');
      files.template = (async () => {
        fs.writeFileSync(template, '');
        await this.icons.iconSetPath(template, files.image);
        return template;
      })();
      files.template.catch(() => {
        files.template = null;
        fs.rmSync(template, { force: true });
      });
    }
    return files.template;
  }

  #filesFor(look: Look): LookFiles {
    const key = lookKey(look);
    let files = this.#looks.get(key);
    if (files === undefined) {
      const image = path.join(this.folder, `look-${this.#looks.size}.png`);
      fs.writeFileSync(image, lookPng(look, this.iconSize));
      files = { image, template: null };
      this.#looks.set(key, files);
    }
    return files;
  }
}
