// Prints the catalog, every games/<id>/game.json, as one JSON array for Deskplay's development
// layout. Deskplay shows the records in the order printed, so they come in library order
// (section, then order, then name), as the packaged build sorts them. On failure the last line
// of standard error is the reason Deskplay shows; the exit status is 1.
//
// Usage: node --import tsx scripts/dump-catalog.ts [games folder]   (default: ../games)

import { readdir } from 'node:fs/promises';
import path from 'node:path';
import { gameSections, readGameRecord, type GameRecord } from './catalog_record.ts';

function inLibraryOrder(a: GameRecord, b: GameRecord): number {
  return (
    gameSections.indexOf(a.section) - gameSections.indexOf(b.section) ||
    (a.order ?? 0) - (b.order ?? 0) ||
    a.name.localeCompare(b.name) ||
    a.id.localeCompare(b.id)
  );
}

async function gameFolders(gamesDir: string): Promise<string[]> {
  const entries = await readdir(gamesDir, { withFileTypes: true });
  return entries
    .filter((entry) => entry.isDirectory() && !entry.name.startsWith('.'))
    .map((entry) => entry.name)
    .sort();
}

async function dumpCatalog(gamesDir: string): Promise<string[]> {
  let folders: string[];
  try {
    folders = await gameFolders(gamesDir);
  } catch (error) {
    return [`cannot list the games folder ${gamesDir}: ${(error as Error).message}`];
  }
  if (folders.length === 0) return [`no games in ${gamesDir}`];
  const results = await Promise.all(folders.map((id) => readGameRecord(gamesDir, id)));
  const errors = results.flatMap((result) => (result.ok ? [] : [result.error]));
  if (errors.length > 0) return errors;
  const records = results.flatMap((result) => (result.ok ? [result.record] : []));
  process.stdout.write(`${JSON.stringify(records.sort(inLibraryOrder))}\n`);
  return [];
}

const gamesDir = path.resolve(process.argv[2] ?? path.join(import.meta.dirname, '..', 'games'));
// Node ends an uncaught error with its version line, which would hide the reason.
const errors = await dumpCatalog(gamesDir).catch((error: unknown) => [`catalog dump failed: ${String(error)}`]);
for (const error of errors) process.stderr.write(`${error.replaceAll('\n', ' ')}\n`);
process.exitCode = errors.length > 0 ? 1 : 0;
