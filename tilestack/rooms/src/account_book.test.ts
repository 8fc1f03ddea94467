import { test } from 'node:test';
import assert from 'node:assert/strict';
import { writeFileSync } from 'node:fs';
import { AccountBook, SignInError, oneTimeTokenLifetimeMs } from './account_book.ts';
import { StateFile, StateFileError } from './state_file.ts';
import { TestClock, scratchFolder } from './testing/roomd_fixture.ts';

function book(clock = new TestClock(), stateFile: StateFile | null = null): AccountBook {
  return new AccountBook({ now: () => clock.ms, stateFile });
}

test('a one-time token works once, and only before it expires', () => {
  const clock = new TestClock();
  const accounts = book(clock);

  const used = accounts.signIn('Ada', 'ada@example.com');
  assert.notEqual(accounts.verify(used), null);
  assert.equal(accounts.verify(used), null, 'a second use');

  const lastMoment = accounts.signIn('Ada', 'ada@example.com');
  clock.advance(oneTimeTokenLifetimeMs - 1);
  assert.notEqual(accounts.verify(lastMoment), null, 'just before it expires');

  const expired = accounts.signIn('Ada', 'ada@example.com');
  clock.advance(oneTimeTokenLifetimeMs);
  assert.equal(accounts.verify(expired), null, 'ten minutes later');

  assert.equal(accounts.verify('never-issued'), null);
});

test('a session names its account until it is signed out', () => {
  const accounts = book();
  const verified = accounts.verify(accounts.signIn('  Ada Lovelace ', ' ada@example.com '));
  assert.ok(verified !== null);
  const account = accounts.accountOf(verified.sessionToken);
  assert.deepEqual(account, { id: verified.account.id, name: 'Ada Lovelace', email: 'ada@example.com' });

  assert.equal(accounts.signOut(verified.sessionToken), true);
  assert.equal(accounts.accountOf(verified.sessionToken), null);
  assert.equal(accounts.signOut(verified.sessionToken), false);
});

test('signing in again with the same e-mail keeps the account and takes the new name', () => {
  const accounts = book();
  const first = accounts.verify(accounts.signIn('Ada', 'ada@example.com'));
  const second = accounts.verify(accounts.signIn('Countess', 'ADA@example.com'));
  assert.ok(first !== null && second !== null);
  assert.equal(second.account.id, first.account.id);
  assert.equal(accounts.accountOf(first.sessionToken)?.name, 'Countess');
  assert.notEqual(second.sessionToken, first.sessionToken);
});

test('a name or e-mail that cannot be an account is refused with what to enter', () => {
  const cases: [string, string, SignInError['kind']][] = [
    ['', 'ada@example.com', 'name'],
    ['   ', 'ada@example.com', 'name'],
    ['x'.repeat(61), 'ada@example.com', 'name'],
    ['Ada\nAdmin', 'ada@example.com', 'name'],
    ['Ada', '', 'email'],
    ['Ada', 'ada', 'email'],
    ['Ada', 'ada@', 'email'],
    ['Ada', 'a da@example.com', 'email'],
    ['Ada', `${'a'.repeat(250)}@example.com`, 'email'],
  ];
  const accounts = book();
  for (const [name, email, kind] of cases) {
    assert.throws(() => accounts.signIn(name, email), (error) => error instanceof SignInError && error.kind === kind, `${name} / ${email}`);
  }
});

test('accounts and sessions outlive a restart, and the file holds no usable token', () => {
  const folder = scratchFolder();
  try {
    const clock = new TestClock();
    const before = book(clock, new StateFile(folder.path));
    const kept = before.verify(before.signIn('Ada', 'ada@example.com'));
    const ended = before.verify(before.signIn('Bob', 'bob@example.com'));
    const pending = before.signIn('Ada', 'ada@example.com');
    assert.ok(kept !== null && ended !== null);
    before.signOut(ended.sessionToken);

    const after = book(clock, new StateFile(folder.path));
    assert.deepEqual(after.accountOf(kept.sessionToken), kept.account);
    assert.equal(after.accountOf(ended.sessionToken), null);
    assert.equal(after.verify(pending), null, 'one-time links do not outlive a restart');

    const text = new StateFile(folder.path).read();
    assert.ok(!JSON.stringify(text).includes(kept.sessionToken));
  } finally {
    folder.remove();
  }
});

test('a state file that is not roomd\'s is reported, not replaced', () => {
  const folder = scratchFolder();
  try {
    const file = new StateFile(folder.path);
    const cases = ['not json', '[]', '{"version":2,"accounts":[],"sessions":[]}', '{"version":1,"accounts":[{"id":1}],"sessions":[]}'];
    for (const text of cases) {
      writeFileSync(file.path, text);
      assert.throws(() => book(new TestClock(), file), StateFileError, text);
    }
  } finally {
    folder.remove();
  }
});
