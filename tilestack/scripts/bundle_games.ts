// The packaged layout of the games: one folder per game, as Deskplay scans it, holding the
// game's record (manifest.json), its whole program with the engine inlined (<id>.mjs), a
// package.json that lets `node <folder>` run it, and its sounds rendered to WAV files.

import { mkdir, readdir, rename, rm, stat, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { renderWav, soundFileName, type SoundRecipe } from '@tilestack/engine';
import { build, formatMessages } from 'esbuild';

import { readGameRecord, type GameRecord } from './catalog_record.ts';

export class BundleError extends Error {}

export interface BundleResult {
  bundled: string[];
  removed: string[];
}

// A bundled CommonJS package calls require(), which an ES module lacks.
const requireBanner =
  "import { createRequire as __tilestackCreateRequire } from 'node:module';\n" +
  'const require = __tilestackCreateRequire(import.meta.url);';

// Written next to a game's folder while it is built, then swapped in.
const workFolder = /^\.(.+)\.(building|replaced)-\d+$/;

// The names the engine accepts for a game's sounds.
const soundName = /^[A-Za-z0-9_-]+$/;

async function isDirectory(file: string): Promise<boolean> {
  try {
    return (await stat(file)).isDirectory();
  } catch {
    return false;
  }
}

async function exists(file: string): Promise<boolean> {
  try {
    await stat(file);
    return true;
  } catch {
    return false;
  }
}

// The games are the folders of gamesDir that hold a game.json.
async function gameIds(gamesDir: string): Promise<string[]> {
  const entries = await readdir(gamesDir, { withFileTypes: true });
  const ids: string[] = [];
  for (const entry of entries) {
    if (!entry.isDirectory() || entry.name.startsWith('.') || entry.name === 'node_modules') continue;
    if (await exists(path.join(gamesDir, entry.name, 'game.json'))) ids.push(entry.name);
  }
  return ids.sort();
}

// The game's definition lives in games/<id>/<id>.ts; its sounds are rendered at build time so the
// packaged game never synthesises them.
async function soundsOf(gamesDir: string, id: string): Promise<Record<string, SoundRecipe>> {
  const file = path.join(gamesDir, id, `${id}.ts`);
  const where = `games/${id}/${id}.ts`;
  if (!(await exists(file))) throw new BundleError(`${where} is missing: it exports the game's definition`);
  const module = (await import(pathToFileURL(file).href)) as Record<string, unknown>;
  const definitions = Object.values(module).filter(
    (value): value is { id: string; sounds: unknown } =>
      typeof value === 'object' && value !== null && (value as { id?: unknown }).id === id,
  );
  if (definitions.length !== 1) {
    throw new BundleError(`${where} must export exactly one game definition with id "${id}" (found ${definitions.length})`);
  }
  const sounds = definitions[0]!.sounds;
  if (typeof sounds !== 'object' || sounds === null) throw new BundleError(`${where}: the definition has no sounds`);
  for (const name of Object.keys(sounds)) {
    if (!soundName.test(name)) {
      throw new BundleError(`${where}: the sound name ${JSON.stringify(name)} cannot be a file name`);
    }
  }
  return sounds as Record<string, SoundRecipe>;
}

async function buildGame(gamesDir: string, record: GameRecord, folder: string): Promise<void> {
  const { id } = record;
  const sounds = await soundsOf(gamesDir, id);
  await mkdir(path.join(folder, 'sounds'), { recursive: true });
  // Errors come back in the thrown error, which names the game; warnings are shown as they are.
  const result = await build({
    entryPoints: [path.join(gamesDir, record.entryFile)],
    outfile: path.join(folder, `${id}.mjs`),
    bundle: true,
    format: 'esm',
    platform: 'node',
    target: 'node20',
    banner: { js: requireBanner },
    // Optional speed-ups of `ws`, which falls back to plain JavaScript without them.
    external: ['bufferutil', 'utf-8-validate'],
    logLevel: 'silent',
  });
  if (result.warnings.length > 0) {
    const warnings = await formatMessages(result.warnings, { kind: 'warning' });
    process.stderr.write(warnings.join(''));
  }
  await writeFile(path.join(folder, 'manifest.json'), `${JSON.stringify(record, null, 2)}\n`);
  await writeFile(path.join(folder, 'package.json'), `${JSON.stringify({ type: 'module', main: `${id}.mjs` }, null, 2)}\n`);
  for (const [name, recipe] of Object.entries(sounds)) {
    await writeFile(path.join(folder, 'sounds', soundFileName(name)), renderWav(recipe));
  }
}

// A game's folder is replaced whole, so a sound or file the game dropped does not linger, and
// a failed build leaves the previous folder as it was.
async function replaceFolder(outDir: string, id: string, built: string): Promise<void> {
  const target = path.join(outDir, id);
  const replaced = path.join(outDir, `.${id}.replaced-${process.pid}`);
  const hadOne = await exists(target);
  if (hadOne) await rename(target, replaced);
  await rename(built, target);
  if (hadOne) await rm(replaced, { recursive: true, force: true });
}

// Folders of games that no longer exist, and work folders of an interrupted run. Only folders
// that look like packaged games are removed: the games folder may hold other things (fonts).
async function removeStale(outDir: string, ids: readonly string[]): Promise<string[]> {
  const removed: string[] = [];
  for (const entry of await readdir(outDir, { withFileTypes: true })) {
    if (!entry.isDirectory()) continue;
    const folder = path.join(outDir, entry.name);
    if (workFolder.test(entry.name)) {
      await rm(folder, { recursive: true, force: true });
    } else if (!ids.includes(entry.name) && (await exists(path.join(folder, 'manifest.json')))) {
      await rm(folder, { recursive: true, force: true });
      removed.push(entry.name);
    }
  }
  return removed.sort();
}

// Bundles every game of gamesDir into outDir/<id>/. Every record is checked before anything in
// outDir changes; a failure is a BundleError naming the game and the reason.
export async function bundleGames(gamesDir: string, outDir: string): Promise<BundleResult> {
  if (!(await isDirectory(gamesDir))) throw new BundleError(`${gamesDir} is not a folder`);
  const ids = await gameIds(gamesDir);
  const records: GameRecord[] = [];
  const problems: string[] = [];
  for (const id of ids) {
    const read = await readGameRecord(gamesDir, id);
    if (read.ok) records.push(read.record);
    else problems.push(read.error);
  }
  if (problems.length > 0) throw new BundleError(problems.join('\n'));

  await mkdir(outDir, { recursive: true });
  for (const record of records) {
    const built = path.join(outDir, `.${record.id}.building-${process.pid}`);
    try {
      await buildGame(gamesDir, record, built);
      await replaceFolder(outDir, record.id, built);
    } catch (error) {
      await rm(built, { recursive: true, force: true });
      if (error instanceof BundleError) throw error;
      throw new BundleError(`games/${record.id}: ${error instanceof Error ? error.message : String(error)}`);
    }
  }
  return { bundled: ids, removed: await removeStale(outDir, ids) };
}
