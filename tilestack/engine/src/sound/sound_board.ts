// The game's sounds by name: their WAV files (shipped with a packaged game, or rendered into the
// session's cache when running from the checkout), loaded into Sonette at start and played
// unless the user has muted game sounds.

import fs from 'node:fs';
import path from 'node:path';
import type { SoundPlayer } from '../companions/contracts.ts';
import { EngineFailure, describeError } from '../failure.ts';
import type { SoundRecipe } from './recipe.ts';
import { renderWav } from './wav.ts';

// The file a sound is shipped as inside a game folder's "sounds" folder.
export function soundFileName(name: string): string {
  return `${name}.wav`;
}

// The sound files, by name. Throws an EngineFailure: 'game' for a name that cannot be a file
// name or a recipe that cannot sound, 'desktop' when the cache cannot be written.
export function prepareSoundFiles(sounds: Record<string, SoundRecipe>, gameFolder: string, cacheFolder: string): Map<string, string> {
  const files = new Map<string, string>();
  for (const [name, recipe] of Object.entries(sounds)) {
    if (!/^[A-Za-z0-9_-]+$/.test(name)) throw new EngineFailure('game', `the sound name ${JSON.stringify(name)} is not letters, digits, - and _`);
    const shipped = path.join(gameFolder, 'sounds', soundFileName(name));
    if (fs.existsSync(shipped)) {
      files.set(name, shipped);
      continue;
    }
    let wav: Buffer;
    try {
      wav = renderWav(recipe);
    } catch (error) {
      throw new EngineFailure('game', `the sound ${JSON.stringify(name)} cannot be made: ${describeError(error)}`, { cause: error });
    }
    const rendered = path.join(cacheFolder, 'sounds', soundFileName(name));
    try {
      fs.mkdirSync(path.dirname(rendered), { recursive: true });
      fs.writeFileSync(rendered, wav);
    } catch (error) {
      throw new EngineFailure('desktop', `cannot write the sound file ${rendered}: ${describeError(error)}`, { cause: error });
    }
    files.set(name, rendered);
  }
  return files;
}

export class SoundBoard {
  readonly #unknownNames = new Set<string>();
  #muted: boolean;

  constructor(
    private readonly player: SoundPlayer,
    private readonly files: ReadonlyMap<string, string>,
    muted: boolean,
    private readonly log: (line: string) => void,
  ) {
    this.#muted = muted;
    for (const file of files.values()) player.load(file);
  }

  play(name: string): void {
    const file = this.files.get(name);
    if (file === undefined) {
      if (!this.#unknownNames.has(name)) this.log(`the game played the sound ${JSON.stringify(name)}, which it does not have`);
      this.#unknownNames.add(name);
      return;
    }
    if (!this.#muted) this.player.play(file);
  }

  setMuted(muted: boolean): void {
    if (muted && !this.#muted) this.player.stopAll();
    this.#muted = muted;
  }
}
