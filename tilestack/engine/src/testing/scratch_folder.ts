// A private temporary folder for one test, removed again by `remove`.

import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export interface ScratchFolder {
  readonly path: string;
  remove(): Promise<void>;
}

export async function makeScratchFolder(prefix = 'tilestack-'): Promise<ScratchFolder> {
  const path = await mkdtemp(join(tmpdir(), prefix));
  return { path, remove: () => rm(path, { recursive: true, force: true }) };
}
