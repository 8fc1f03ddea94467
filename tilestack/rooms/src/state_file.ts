// roomd's accounts and sessions on disk: one JSON file in the data folder, replaced whole and
// atomically (a synced temporary file renamed over it), so a crash leaves the old or the new
// state, never half of one.

import fs from 'node:fs';
import path from 'node:path';

export interface StoredAccount {
  id: string;
  name: string;
  email: string;
}

export interface StoredSession {
  // The SHA-256 of the session token: the file never holds a token that works.
  tokenHash: string;
  accountId: string;
}

export interface StoredState {
  accounts: StoredAccount[];
  sessions: StoredSession[];
}

export class StateFileError extends Error {
  readonly kind = 'state-file';

  constructor(message: string, options?: { cause?: unknown }) {
    super(message, options);
    this.name = 'StateFileError';
  }
}

export const stateFileName = 'roomd-state.json';

export class StateFile {
  readonly path: string;

  constructor(readonly folder: string) {
    this.path = path.join(folder, stateFileName);
  }

  // The stored state; an empty one when there is no file yet. A file that cannot be read or
  // understood is an error rather than an empty state, so that it is never overwritten.
  read(): StoredState {
    let text: string;
    try {
      text = fs.readFileSync(this.path, 'utf8');
    } catch (error) {
      if ((error as NodeJS.ErrnoException).code === 'ENOENT') return { accounts: [], sessions: [] };
      throw new StateFileError(`cannot read ${this.path}: ${(error as Error).message}`, { cause: error });
    }
    const state = parseState(text);
    if (state === null) throw new StateFileError(`${this.path} is not a roomd state file`);
    return state;
  }

  write(state: StoredState): void {
    fs.mkdirSync(this.folder, { recursive: true, mode: 0o700 });
    const staging = `${this.path}.${process.pid}.tmp`;
    const descriptor = fs.openSync(staging, 'w', 0o600);
    try {
      fs.writeSync(descriptor, `${JSON.stringify({ version: 1, ...state }, null, 2)}\n`);
      fs.fsyncSync(descriptor);
    } finally {
      fs.closeSync(descriptor);
    }
    fs.renameSync(staging, this.path);
  }
}

function parseState(text: string): StoredState | null {
  let value: unknown;
  try {
    value = JSON.parse(text);
  } catch {
    return null;
  }
  if (!isRecord(value) || value['version'] !== 1) return null;
  const accounts = value['accounts'];
  const sessions = value['sessions'];
  if (!Array.isArray(accounts) || !Array.isArray(sessions)) return null;
  if (!accounts.every((entry) => hasStrings(entry, ['id', 'name', 'email']))) return null;
  if (!sessions.every((entry) => hasStrings(entry, ['tokenHash', 'accountId']))) return null;
  return {
    accounts: accounts.map((entry: Record<string, string>) => ({ id: entry['id']!, name: entry['name']!, email: entry['email']! })),
    sessions: sessions.map((entry: Record<string, string>) => ({ tokenHash: entry['tokenHash']!, accountId: entry['accountId']! })),
  };
}

function isRecord(value: unknown): value is Record<string, unknown> {
  return typeof value === 'object' && value !== null && !Array.isArray(value);
}

function hasStrings(value: unknown, keys: readonly string[]): value is Record<string, string> {
  return isRecord(value) && keys.every((key) => typeof value[key] === 'string');
}
