import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { StatusRecordWriter } from './status_record.ts';
import { EngineFailure } from './failure.ts';

function temporaryFolder(): string {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'status-record-'));
}

test('each phase replaces the whole record, by rename, leaving no temporary file', (t) => {
  const folder = temporaryFolder();
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  const recordPath = path.join(folder, 'status.json');
  const writer = new StatusRecordWriter(recordPath, 'SESSION-1', '/home/ann/Desktop');

  let previous: { descriptor: number; text: string } | null = null;
  for (const phase of ['loading', 'ready', 'restoring', 'child-complete'] as const) {
    writer.write(phase);
    const text = fs.readFileSync(recordPath, 'utf8');
    assert.deepEqual(JSON.parse(text), {
      version: 2,
      surface: 'native',
      session: 'SESSION-1',
      desktop: '/home/ann/Desktop',
      phase,
      tiles: [],
    });
    assert.equal(writer.phase, phase);
    // A reader that opened the earlier record still reads it whole: the record was replaced,
    // not rewritten in place.
    if (previous !== null) {
      assert.equal(fs.readFileSync(previous.descriptor, 'utf8'), previous.text);
      fs.closeSync(previous.descriptor);
    }
    previous = { descriptor: fs.openSync(recordPath, 'r'), text };
  }
  if (previous !== null) fs.closeSync(previous.descriptor);
  assert.deepEqual(fs.readdirSync(folder), ['status.json']);
});

test('an unwritable record is a status-record failure and keeps the last phase', (t) => {
  const folder = temporaryFolder();
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  const writer = new StatusRecordWriter(path.join(folder, 'missing', 'status.json'), 'S', '/home/ann/Desktop');
  assert.throws(
    () => writer.write('loading'),
    (error: unknown) => error instanceof EngineFailure && error.kind === 'status-record' && /missing\/status\.json/.test(error.message),
  );
  assert.equal(writer.phase, null);

  // A folder in the record's place: the rename fails and the temporary file is removed again.
  fs.mkdirSync(path.join(folder, 'status.json'));
  const blocked = new StatusRecordWriter(path.join(folder, 'status.json'), 'S', '/home/ann/Desktop');
  assert.throws(() => blocked.write('loading'), EngineFailure);
  assert.deepEqual(fs.readdirSync(folder), ['status.json']);
});
