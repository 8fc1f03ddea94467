import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, describe, test } from 'node:test';

import { findTestFiles } from './test_files.ts';

describe('findTestFiles', () => {
  const root = mkdtempSync(path.join(tmpdir(), 'test-files-'));
  after(() => rmSync(root, { recursive: true, force: true }));

  const files = [
    'engine/src/loop.test.ts',
    'engine/src/deep/er/board.test.ts',
    'engine/src/loop.ts',
    'engine/src/notes.test.ts.txt',
    'engine/src/old.test.js',
    'engine/node_modules/ws/index.test.ts',
    'engine/.cache/stale.test.ts',
    'games/snake/rules.test.ts',
    'games/snake/node_modules/x/y.test.ts',
    'scripts/bundle.test.ts',
    'rooms/server.test.ts',
    'top.test.ts',
  ];
  for (const file of files) {
    mkdirSync(path.join(root, path.dirname(file)), { recursive: true });
    writeFileSync(path.join(root, file), '');
  }
  // As pnpm links a workspace package into a game.
  mkdirSync(path.join(root, 'games/slide/node_modules/@tilestack'), { recursive: true });
  symlinkSync(path.join(root, 'engine'), path.join(root, 'games/slide/linked-engine'));
  symlinkSync(path.join(root, 'engine'), path.join(root, 'games/slide/node_modules/@tilestack/engine'));

  test('lists the test files of the named folders, sorted, and nothing else', () => {
    assert.deepEqual(findTestFiles(root, ['engine', 'games', 'scripts']), [
      'engine/src/deep/er/board.test.ts',
      'engine/src/loop.test.ts',
      'games/snake/rules.test.ts',
      'scripts/bundle.test.ts',
    ]);
  });

  const cases: { folders: string[]; expected: string[] }[] = [
    { folders: [], expected: [] },
    { folders: ['missing'], expected: [] },
    { folders: ['scripts', 'missing'], expected: ['scripts/bundle.test.ts'] },
    { folders: ['games/snake'], expected: ['games/snake/rules.test.ts'] },
  ];
  for (const { folders, expected } of cases) {
    test(`folders ${JSON.stringify(folders)}`, () => {
      assert.deepEqual(findTestFiles(root, folders), expected);
    });
  }
});
