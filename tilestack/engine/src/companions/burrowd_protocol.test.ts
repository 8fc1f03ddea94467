import assert from 'node:assert/strict';
import { test } from 'node:test';
import { failureMessage, parseIdentity, parseNames, parseReply } from './burrowd_protocol.ts';

test('replies: values, failures with Burrowd’s message unwrapped, anything else rejected', () => {
  const cases: Array<[string, unknown]> = [
    ['{"ok":true,"value":null}', { ok: true, value: null }],
    ['{"ok":true,"value":["a","b"]}', { ok: true, value: ['a', 'b'] }],
    ['{"error":"Failure(message: \\"Move source identity changed\\")","ok":false}', { ok: false, error: 'Move source identity changed' }],
    ['{"error":"Request is not valid JSON: an invalid value at byte 1","ok":false}', { ok: false, error: 'Request is not valid JSON: an invalid value at byte 1' }],
    ['{"ok":true}', null],
    ['{"ok":false}', null],
    ['{"ok":"yes","value":1}', null],
    ['READY', null],
  ];
  for (const [line, reply] of cases) assert.deepEqual(parseReply(line), reply, line);
});

test('failure messages: quotes and backslashes inside are unescaped; other texts stay whole', () => {
  assert.equal(failureMessage(String.raw`Failure(message: "open desktop: errno 2 (No such \"file\" \\ here)")`), 'open desktop: errno 2 (No such "file" \\ here)');
  assert.equal(failureMessage('Failure(message: "unterminated)'), 'Failure(message: "unterminated)');
  assert.equal(failureMessage('write failed'), 'write failed');
});

test('identities have exactly dev, ino and birth as strings; names are strings', () => {
  const identity = { dev: '65024', ino: '10953104', birth: '1796919957:773575976' };
  assert.deepEqual(parseIdentity(identity), identity);
  assert.equal(parseIdentity({ ...identity, extra: 'x' }), null);
  assert.equal(parseIdentity({ dev: '1', ino: '2' }), null);
  assert.equal(parseIdentity({ ...identity, ino: 10953104 }), null);
  assert.equal(parseIdentity(null), null);
  assert.deepEqual(parseNames(['.manifest.json', 'a b']), ['.manifest.json', 'a b']);
  assert.equal(parseNames(['a', 1]), null);
  assert.equal(parseNames('a'), null);
});
