// Burrowd's replies: {"ok":true,"value":…} or {"error":…,"ok":false}, one line per request, and
// the identity maps by which it recognises an entry across a rename.

import type { Identity } from './contracts.ts';
import { isJsonObject, parseJsonObject } from './json_values.ts';

export type BurrowdReply = { ok: true; value: unknown } | { ok: false; error: string };

export function parseReply(line: string): BurrowdReply | null {
  const object = parseJsonObject(line);
  if (!object) return null;
  if (object['ok'] === true && 'value' in object) return { ok: true, value: object['value'] };
  if (object['ok'] === false && typeof object['error'] === 'string') return { ok: false, error: failureMessage(object['error']) };
  return null;
}

// Burrowd's own failures read Failure(message: "…"); the message inside is what the user needs.
export function failureMessage(error: string): string {
  const match = /^Failure\(message: "((?:[^"\\]|\\.)*)"\)$/.exec(error);
  return match?.[1] === undefined ? error : match[1].replace(/\\(.)/g, '$1');
}

// An identity map has exactly the three keys, all strings.
export function parseIdentity(value: unknown): Identity | null {
  if (!isJsonObject(value) || Object.keys(value).length !== 3) return null;
  const { dev, ino, birth } = value;
  if (typeof dev !== 'string' || typeof ino !== 'string' || typeof birth !== 'string') return null;
  return { dev, ino, birth };
}

export function parseNames(value: unknown): string[] | null {
  return Array.isArray(value) && value.every((name) => typeof name === 'string') ? value : null;
}
