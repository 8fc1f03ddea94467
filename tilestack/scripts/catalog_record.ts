// A game's catalog record (games/<id>/game.json), checked against what Deskplay decodes. Deskplay
// rejects the whole catalog when one record fails, so a bad record must fail here, with a reason
// that names the key, before it empties the library. The catalog dump and the packaged build's
// manifests both go through readGameRecord.

import { access, readFile } from 'node:fs/promises';
import path from 'node:path';

export const gameSections = ['arcade', 'puzzles', 'tabletop', 'studio'] as const;
export type GameSection = (typeof gameSections)[number];

export const launchModes = ['solo', 'soloOrMultiplayer', 'multiplayerOnly'] as const;
export type LaunchMode = (typeof launchModes)[number];

export interface MultiplayerTexts {
  tagline: string;
  soloLabel?: string;
  soloTagline?: string;
}

// [keys, action], as the key help shows them.
export type ControlHint = [string, string];

export interface GameCard {
  gradient: string[];
  glyph: string[];
  palette?: Record<string, string>;
}

export interface GameRecord {
  id: string;
  name: string;
  entryFile: string;
  section: GameSection;
  launch: LaunchMode;
  order?: number;
  multiplayer?: MultiplayerTexts;
  controls: ControlHint[];
  card: GameCard;
}

export type RecordResult = { ok: true; record: GameRecord } | { ok: false; error: string };

class RecordError extends Error {}

type Json = Record<string, unknown>;

function fail(where: string, problem: string): never {
  throw new RecordError(`${where} ${problem}`);
}

function describe(value: unknown): string {
  return value === undefined ? 'missing' : JSON.stringify(value);
}

function isObject(value: unknown): value is Json {
  return typeof value === 'object' && value !== null && !Array.isArray(value);
}

function object(value: unknown, where: string): Json {
  if (!isObject(value)) fail(where, `must be an object (got ${describe(value)})`);
  return value;
}

function text(value: unknown, where: string): string {
  if (typeof value !== 'string' || value.trim() === '') fail(where, `must be a non-empty string (got ${describe(value)})`);
  return value;
}

function list(value: unknown, where: string): unknown[] {
  if (!Array.isArray(value)) fail(where, `must be an array (got ${describe(value)})`);
  return value;
}

function oneOf<T extends string>(value: unknown, cases: readonly T[], where: string): T {
  const found = cases.find((c) => c === value);
  if (found === undefined) fail(where, `must be one of ${cases.join(', ')} (got ${describe(value)})`);
  return found;
}

// Deskplay reads any text as a colour and turns what is not hexadecimal into black, and reads a
// short form like "fff" as a number (blue, not white): only six hex digits mean what they say.
function colour(value: unknown, where: string): string {
  if (typeof value !== 'string' || !/^#?[0-9a-fA-F]{6}$/.test(value)) {
    fail(where, `must be a colour of six hex digits like "#1e90ff" (got ${describe(value)})`);
  }
  return value;
}

const graphemes = new Intl.Segmenter('en', { granularity: 'grapheme' });

function graphemeCount(value: string): number {
  return [...graphemes.segment(value)].length;
}

function multiplayerTexts(value: unknown): MultiplayerTexts {
  const fields = object(value, '"multiplayer"');
  const texts: MultiplayerTexts = { tagline: text(fields.tagline, '"multiplayer"."tagline"') };
  for (const key of ['soloLabel', 'soloTagline'] as const) {
    const given = fields[key];
    if (given !== undefined && given !== null) texts[key] = text(given, `"multiplayer"."${key}"`);
  }
  return texts;
}

function controlHint(value: unknown, where: string): ControlHint {
  const pair = list(value, where);
  if (pair.length !== 2) fail(where, `must be a pair [keys, action] (got ${describe(value)})`);
  return [text(pair[0], `${where}[0]`), text(pair[1], `${where}[1]`)];
}

function card(value: unknown): GameCard {
  const fields = object(value, '"card"');
  const gradient = list(fields.gradient, '"card"."gradient"').map((c, i) => colour(c, `"card"."gradient"[${i}]`));
  if (gradient.length === 0) fail('"card"."gradient"', 'needs at least one colour');
  const glyph = list(fields.glyph, '"card"."glyph"').map((row, i) => {
    if (typeof row !== 'string') fail(`"card"."glyph"[${i}]`, `must be a string (got ${describe(row)})`);
    return row;
  });
  if (glyph.length === 0) fail('"card"."glyph"', 'needs at least one row');
  const result: GameCard = { gradient, glyph };
  if (fields.palette !== undefined && fields.palette !== null) {
    const palette: Record<string, string> = {};
    for (const [character, given] of Object.entries(object(fields.palette, '"card"."palette"'))) {
      const where = `"card"."palette".${JSON.stringify(character)}`;
      // A glyph cell is one character; a longer key never matches, and "#" is always white.
      if (graphemeCount(character) !== 1) fail(where, 'must be keyed by a single character');
      if (character === '#') fail(where, 'is never used: "#" always draws white');
      palette[character] = colour(given, where);
    }
    result.palette = palette;
  }
  return result;
}

// Checks one decoded game.json; the record keeps only the keys Deskplay reads.
export function validateGameRecord(value: unknown): RecordResult {
  try {
    const fields = object(value, 'the record');
    const id = text(fields.id, '"id"');
    const name = text(fields.name, '"name"');
    const entryFile = text(fields.entryFile, '"entryFile"');
    const section = oneOf(fields.section, gameSections, '"section"');
    const launch = oneOf(fields.launch, launchModes, '"launch"');
    const order = fields.order ?? undefined;
    if (order !== undefined && (typeof order !== 'number' || !Number.isSafeInteger(order))) {
      fail('"order"', `must be a whole number (got ${describe(order)})`);
    }
    const multiplayer = fields.multiplayer === undefined || fields.multiplayer === null ? undefined : multiplayerTexts(fields.multiplayer);
    const controls = list(fields.controls, '"controls"').map((hint, i) => controlHint(hint, `"controls"[${i}]`));
    // Keys in the order people read them in a manifest.
    const record: GameRecord = {
      id,
      name,
      entryFile,
      section,
      launch,
      ...(order === undefined ? {} : { order }),
      ...(multiplayer === undefined ? {} : { multiplayer }),
      controls,
      card: card(fields.card),
    };
    return { ok: true, record };
  } catch (error) {
    if (error instanceof RecordError) return { ok: false, error: error.message };
    throw error;
  }
}

async function exists(file: string): Promise<boolean> {
  try {
    await access(file);
    return true;
  } catch {
    return false;
  }
}

// Reads and checks gamesDir/<id>/game.json: the record must name its own folder, and its entry
// file must lie inside that folder and exist.
export async function readGameRecord(gamesDir: string, id: string): Promise<RecordResult> {
  const where = `games/${id}/game.json`;
  let source: string;
  try {
    source = await readFile(path.join(gamesDir, id, 'game.json'), 'utf8');
  } catch (error) {
    const reason = (error as NodeJS.ErrnoException).code === 'ENOENT' ? 'is missing' : `cannot be read (${String(error)})`;
    return { ok: false, error: `${where} ${reason}` };
  }
  let value: unknown;
  try {
    value = JSON.parse(source);
  } catch (error) {
    return { ok: false, error: `${where} is not valid JSON: ${(error as Error).message}` };
  }
  const checked = validateGameRecord(value);
  if (!checked.ok) return { ok: false, error: `${where}: ${checked.error}` };
  const { record } = checked;
  if (record.id !== id) {
    return { ok: false, error: `${where}: "id" must be the folder name ${JSON.stringify(id)} (got ${JSON.stringify(record.id)})` };
  }
  const entry = path.posix.normalize(record.entryFile);
  if (path.posix.isAbsolute(entry) || !entry.startsWith(`${id}/`)) {
    return { ok: false, error: `${where}: "entryFile" must lie in the game's folder, like "${id}/main.ts" (got ${JSON.stringify(record.entryFile)})` };
  }
  if (!(await exists(path.join(gamesDir, entry)))) {
    return { ok: false, error: `${where}: "entryFile" ${JSON.stringify(record.entryFile)} does not exist` };
  }
  return checked;
}
