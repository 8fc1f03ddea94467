// Glyphon's line protocol: the command record the client writes, and the lines Glyphon writes
// back (READY, METRICS, ICON answers, MOTION writes, script errors), decoded and checked.

import type { DesktopMetrics, Easing, MotionReceipt, MotionStatus, Point, PositionUpdate } from './contracts.ts';
import { isFiniteNumber, isJsonObject, parseJson, parseJsonObject, type JsonObject } from './json_values.ts';

export type GlyphonCommandType =
  | 'session_status'
  | 'template_copy'
  | 'ui_setup'
  | 'position'
  | 'position_cancel'
  | 'color'
  | 'comment'
  | 'extension_hidden'
  | 'batch'
  | 'icon_positions_get'
  | 'icon_get'
  | 'icon_set_path'
  | 'icon_set_data'
  | 'icon_clear'
  | 'desktop_labels'
  | 'background_get'
  | 'background_set_path'
  | 'grid_spacing'
  | 'grid_spacing_set'
  | 'grid_arrangement_get'
  | 'grid_arrangement_set'
  | 'icon_size'
  | 'icon_size_set'
  | 'restart_finder'
  | 'synth_drag'
  | 'cover_set'
  | 'cover_clear'
  | 'feedback_cover_set'
  | 'feedback_cover_clear'
  | 'park_cover_set'
  | 'park_cover_clear';

export interface WireUpdate {
  path: string;
  x: number;
  y: number;
  transition?: { duration: number; easing?: Easing };
}

// One input line. Numbers and booleans that Glyphon takes as text travel in `value`.
export interface GlyphonCommand {
  type: GlyphonCommandType;
  id?: string;
  updates?: WireUpdate[];
  paths?: string[];
  path?: string;
  x?: number;
  y?: number;
  value?: string;
  iconPath?: string;
  iconData?: string;
  script?: string;
  gridSpacing?: number;
  iconSize?: number;
  textSize?: number;
  gridArrangement?: string;
  labelPosition?: string;
  w?: number;
  h?: number;
  color?: string;
  owner?: string;
}

export interface CommandResult {
  hasCustomIcon?: boolean;
  data?: string;
  desktopLabelsVisible?: boolean;
  gridSpacing?: number;
  iconSize?: number;
  gridArrangement?: string;
}

export interface IconAnswer {
  id: string;
  ok: boolean;
  result: CommandResult;
  error?: string;
}

// One position write of an animation step, as Glyphon reports it (whole points).
export interface MotionWrite {
  path: string;
  position: Point;
}

export type GlyphonLine =
  | { kind: 'ready' }
  | { kind: 'metrics'; metrics: DesktopMetrics }
  | { kind: 'answer'; answer: IconAnswer }
  | { kind: 'motion'; writes: MotionWrite[] }
  | { kind: 'scriptError'; message: string }
  | { kind: 'extensionError'; message: string }
  // Anything else, or a known prefix with content that does not decode.
  | { kind: 'unknown'; line: string };

export function parseGlyphonLine(line: string): GlyphonLine {
  if (line === 'READY') return { kind: 'ready' };
  const colon = line.indexOf(':');
  const prefix = colon < 0 ? '' : line.slice(0, colon);
  const rest = line.slice(colon + 1);
  const parsed = ((): GlyphonLine | null => {
    switch (prefix) {
      case 'METRICS': {
        const metrics = parseMetrics(rest);
        return metrics && { kind: 'metrics', metrics };
      }
      case 'ICON': {
        const answer = parseAnswer(rest);
        return answer && { kind: 'answer', answer };
      }
      case 'MOTION': {
        const writes = parseMotionWrites(rest);
        return writes && { kind: 'motion', writes };
      }
      case 'FINDER_SCRIPT_ERROR':
        return { kind: 'scriptError', message: rest };
      case 'COCOA_EXTENSION_ERROR':
        return { kind: 'extensionError', message: rest };
      default:
        return null;
    }
  })();
  return parsed ?? { kind: 'unknown', line };
}

function parseMetrics(text: string): DesktopMetrics | null {
  const fields = text.split(',');
  if (fields.length !== 3 || fields.some((field) => !/^\d+$/.test(field))) return null;
  const [width, height, iconSize] = fields.map(Number) as [number, number, number];
  return { width, height, iconSize };
}

function parseAnswer(text: string): IconAnswer | null {
  const object = parseJsonObject(text);
  if (!object || typeof object['id'] !== 'string' || typeof object['ok'] !== 'boolean') return null;
  const answer: IconAnswer = { id: object['id'], ok: object['ok'], result: parseResult(object['result']) };
  if (typeof object['error'] === 'string') answer.error = object['error'];
  return answer;
}

// Fields of the wrong type are left out, so that a caller finds them missing.
function parseResult(value: unknown): CommandResult {
  if (!isJsonObject(value)) return {};
  const result: CommandResult = {};
  const take = <K extends keyof CommandResult>(key: K, check: (field: unknown) => field is CommandResult[K]): void => {
    const field = value[key];
    if (check(field)) result[key] = field;
  };
  take('hasCustomIcon', isBoolean);
  take('data', isString);
  take('desktopLabelsVisible', isBoolean);
  take('gridSpacing', isFiniteNumber);
  take('iconSize', isFiniteNumber);
  take('gridArrangement', isString);
  return result;
}

function parseMotionWrites(text: string): MotionWrite[] | null {
  const value = parseJson(text);
  if (!Array.isArray(value)) return null;
  const writes: MotionWrite[] = [];
  for (const item of value) {
    if (!isJsonObject(item) || typeof item['path'] !== 'string') return null;
    const position = pointOf(item);
    if (!position) return null;
    writes.push({ path: item['path'], position });
  }
  return writes;
}

const motionStatuses: readonly MotionStatus[] = ['completed', 'superseded', 'cancelled', 'failed'];

// The receipts in a `position` answer's `data`, or null when it is not a list of receipts.
export function parseReceipts(data: string): MotionReceipt[] | null {
  const value = parseJson(data);
  if (!Array.isArray(value)) return null;
  const receipts: MotionReceipt[] = [];
  for (const item of value) {
    if (!isJsonObject(item)) return null;
    const { path, generation, status, position } = item;
    if (typeof path !== 'string' || !Number.isInteger(generation)) return null;
    const known = motionStatuses.find((candidate) => candidate === status);
    const point = isJsonObject(position) ? pointOf(position) : null;
    if (!known || !point) return null;
    receipts.push({ path, generation: generation as number, status: known, position: point });
  }
  return receipts;
}

export function toWireUpdate(update: PositionUpdate): WireUpdate {
  const wire: WireUpdate = { path: update.path, x: update.x, y: update.y };
  // Without a duration (or with 0) Glyphon places the icon at once.
  if (update.duration !== undefined && update.duration !== 0) {
    wire.transition = { duration: update.duration };
    if (update.easing) wire.transition.easing = update.easing;
  }
  return wire;
}

// Finder answers the arrangement as its four-letter constant, which Glyphon passes on as text
// such as "'enum'('narr')". Named, it can be given back to `grid_arrangement_set` unchanged.
const arrangementsByCode: Record<string, string> = {
  narr: 'not arranged',
  grda: 'snap to grid',
  'nam ': 'name',
  nama: 'name',
  kind: 'kind',
  kina: 'kind',
  mdat: 'date modified',
  mdta: 'date modified',
};

export function arrangementName(text: string): string {
  const code = [...text.matchAll(/'([^']{4})'/g)].at(-1)?.[1];
  return (code && arrangementsByCode[code]) ?? text;
}

// "x,y" of a synth_drag answer.
export function parsePointText(text: string): Point | null {
  const match = /^(-?\d+),(-?\d+)$/.exec(text);
  return match ? { x: Number(match[1]), y: Number(match[2]) } : null;
}

function pointOf(object: JsonObject): Point | null {
  const { x, y } = object;
  return isFiniteNumber(x) && isFiniteNumber(y) ? { x, y } : null;
}

function isBoolean(value: unknown): value is boolean {
  return typeof value === 'boolean';
}

function isString(value: unknown): value is string {
  return typeof value === 'string';
}
