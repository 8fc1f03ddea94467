// The session status record that Deskplay reads: written whole, atomically, at every phase.

import fs from 'node:fs';
import path from 'node:path';
import { EngineFailure, describeError } from './failure.ts';

export type SessionPhase = 'loading' | 'ready' | 'restoring' | 'child-complete' | 'failed';

export interface StatusRecord {
  version: 2;
  surface: 'native';
  session: string;
  desktop: string;
  phase: SessionPhase;
  // Always empty: this engine's tiles are its own business, and Deskplay refuses a version 2
  // record that lists any.
  tiles: [];
}

export class StatusRecordWriter {
  #phase: SessionPhase | null = null;

  constructor(
    readonly recordPath: string,
    private readonly session: string,
    private readonly desktop: string,
  ) {}

  get phase(): SessionPhase | null {
    return this.#phase;
  }

  // Throws an EngineFailure of kind 'status-record' when the record cannot be written.
  write(phase: SessionPhase): void {
    const record: StatusRecord = { version: 2, surface: 'native', session: this.session, desktop: this.desktop, phase, tiles: [] };
    try {
      writeFileAtomically(this.recordPath, `${JSON.stringify(record)}\n`);
    } catch (error) {
      throw new EngineFailure('status-record', `cannot write the status record ${this.recordPath}: ${describeError(error)}`, { cause: error });
    }
    this.#phase = phase;
  }
}

// Readers see the old record or the new one, never a part: the text goes to a temporary file in
// the same folder, reaches the disk, and replaces the record by rename.
export function writeFileAtomically(target: string, text: string): void {
  const temporary = path.join(path.dirname(target), `.${path.basename(target)}.${process.pid}.tmp`);
  const descriptor = fs.openSync(temporary, 'w', 0o600);
  try {
    fs.writeSync(descriptor, text);
    fs.fsyncSync(descriptor);
  } catch (error) {
    fs.closeSync(descriptor);
    fs.rmSync(temporary, { force: true });
    throw error;
  }
  fs.closeSync(descriptor);
  try {
    fs.renameSync(temporary, target);
  } catch (error) {
    fs.rmSync(temporary, { force: true });
    throw error;
  }
  syncFolder(path.dirname(target));
}

// Makes the rename itself durable; a folder that cannot be opened for this is no failure.
function syncFolder(folder: string): void {
  let descriptor: number;
  try {
    descriptor = fs.openSync(folder, 'r');
  } catch {
    return;
  }
  try {
    fs.fsyncSync(descriptor);
  } catch {
    // Some file systems refuse fsync on folders; the record itself is on disk already.
  } finally {
    fs.closeSync(descriptor);
  }
}
