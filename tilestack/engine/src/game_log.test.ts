import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GameLog } from './game_log.ts';

test('back-to-back repeats are counted instead of written', () => {
  let text = '';
  const log = new GameLog((chunk) => (text += chunk));
  log.line('a');
  log.line('b');
  log.line('b');
  log.line('b');
  log.line('a');
  log.line('a');
  log.flush();
  log.flush();
  assert.equal(
    text,
    ['tilestack: a', 'tilestack: b', 'tilestack: (the line above 2 more times)', 'tilestack: a', 'tilestack: (the line above 1 more time)', ''].join('\n'),
  );
});
