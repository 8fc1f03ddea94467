import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import path from 'node:path';
import { StateFile, StateFileError } from './state_file.ts';
import { scratchFolder } from './testing/roomd_fixture.ts';

test('no state file yet reads as no accounts and no sessions', () => {
  const folder = scratchFolder();
  try {
    assert.deepEqual(new StateFile(path.join(folder.path, 'new')).read(), { accounts: [], sessions: [] });
  } finally {
    folder.remove();
  }
});

test('a state file that cannot be read is an error that names it', () => {
  const folder = scratchFolder();
  try {
    const file = new StateFile(folder.path);
    mkdirSync(file.path);
    assert.throws(
      () => file.read(),
      (error) => error instanceof StateFileError && error.message.startsWith(`cannot read ${file.path}: `),
    );
  } finally {
    folder.remove();
  }
});
