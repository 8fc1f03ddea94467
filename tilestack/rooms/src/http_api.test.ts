import { test } from 'node:test';
import assert from 'node:assert/strict';
import { writeFileSync } from 'node:fs';
import path from 'node:path';
import { oneTimeTokenLifetimeMs } from './account_book.ts';
import { largestBody } from './http_api.ts';
import { scratchFolder, signInThroughPage, startTestRoomd, type RoomdFixture } from './testing/roomd_fixture.ts';

async function withRoomd(run: (fixture: RoomdFixture) => Promise<void>): Promise<void> {
  const fixture = await startTestRoomd();
  try {
    await run(fixture);
  } finally {
    await fixture.close();
  }
}

function postForm(base: string, fields: Record<string, string>): Promise<Response> {
  return fetch(`${base}/app-signin`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: new URLSearchParams(fields).toString(),
    redirect: 'manual',
  });
}

function verify(base: string, body: string): Promise<Response> {
  return fetch(`${base}/api/auth/one-time-token/verify`, { method: 'POST', headers: { 'Content-Type': 'application/json' }, body });
}

function me(base: string, token: string): Promise<Response> {
  return fetch(`${base}/api/me`, { headers: { Authorization: `Bearer ${token}` } });
}

async function oneTimeToken(base: string, name = 'Ada', email = 'ada@example.com'): Promise<string> {
  const reply = await postForm(base, { name, email });
  assert.equal(reply.status, 303);
  const location = new URL(reply.headers.get('location') ?? '');
  assert.equal(location.protocol, 'deskplay:');
  assert.equal(location.host, 'signin');
  const token = location.searchParams.get('token');
  assert.ok(token !== null && token !== '');
  return token;
}

test('the sign-in page is a form for a display name and an e-mail, posted back to it', async () => {
  await withRoomd(async ({ base }) => {
    const page = await fetch(`${base}/app-signin`);
    assert.equal(page.status, 200);
    assert.match(page.headers.get('content-type') ?? '', /^text\/html/);
    const html = await page.text();
    assert.match(html, /<form method="post" action="\/app-signin">/);
    assert.match(html, /name="name"/);
    assert.match(html, /name="email"/);
  });
});

test('sign-in, verify, account, sign-out: the whole road of a session', async () => {
  await withRoomd(async ({ base }) => {
    const verified = await verify(base, JSON.stringify({ token: await oneTimeToken(base) }));
    assert.equal(verified.status, 200);
    const body = (await verified.json()) as { session: { token: string } };
    assert.ok(body.session.token.length > 20);
    assert.equal(verified.headers.get('set-auth-token'), body.session.token);

    const account = await me(base, body.session.token);
    assert.equal(account.status, 200);
    const { user } = (await account.json()) as { user: { id: string; name: string; email: string } };
    assert.equal(user.name, 'Ada');
    assert.equal(user.email, 'ada@example.com');
    assert.equal(typeof user.id, 'string');

    const signOut = await fetch(`${base}/api/auth/sign-out`, { method: 'POST', headers: { Authorization: `Bearer ${body.session.token}` } });
    assert.equal(signOut.status, 200);
    const after = await me(base, body.session.token);
    assert.equal(after.status, 200);
    assert.deepEqual(await after.json(), { user: null });
  });
});

test('a one-time token that was used or has expired gets 400', async () => {
  await withRoomd(async ({ base, clock }) => {
    const used = await oneTimeToken(base);
    assert.equal((await verify(base, JSON.stringify({ token: used }))).status, 200);
    assert.equal((await verify(base, JSON.stringify({ token: used }))).status, 400);

    const late = await oneTimeToken(base);
    clock.advance(oneTimeTokenLifetimeMs);
    const expired = await verify(base, JSON.stringify({ token: late }));
    assert.equal(expired.status, 400);
    assert.deepEqual(await expired.json(), { error: 'That sign-in link expired or was already used.' });
  });
});

test('accounts and sessions outlive a restart of roomd with a data folder', async () => {
  const folder = scratchFolder();
  try {
    const first = await startTestRoomd({ dataDir: folder.path });
    const token = await signInThroughPage(first.base, 'Ada', 'ada@example.com');
    await first.close();

    const second = await startTestRoomd({ dataDir: folder.path });
    try {
      const { user } = (await (await me(second.base, token)).json()) as { user: { name: string } | null };
      assert.equal(user?.name, 'Ada');
    } finally {
      await second.close();
    }
  } finally {
    folder.remove();
  }
});

test('bad requests get a clear error status and roomd carries on', async () => {
  await withRoomd(async ({ base }) => {
    const json = { 'Content-Type': 'application/json' };
    const cases: [string, string, RequestInit, number][] = [
      ['verify: not JSON', '/api/auth/one-time-token/verify', { method: 'POST', headers: json, body: '{"token":' }, 400],
      ['verify: no token', '/api/auth/one-time-token/verify', { method: 'POST', headers: json, body: '{}' }, 400],
      ['verify: token not a string', '/api/auth/one-time-token/verify', { method: 'POST', headers: json, body: '{"token":7}' }, 400],
      ['verify: unknown token', '/api/auth/one-time-token/verify', { method: 'POST', headers: json, body: '{"token":"nope"}' }, 400],
      ['verify: too large', '/api/auth/one-time-token/verify', { method: 'POST', headers: json, body: 'x'.repeat(largestBody + 1) }, 413],
      ['me: no session', '/api/me', {}, 401],
      ['me: not bearer', '/api/me', { headers: { Authorization: 'Basic abc' } }, 401],
      ['sign-out: no session', '/api/auth/sign-out', { method: 'POST' }, 401],
      ['sign-in: JSON instead of a form', '/app-signin', { method: 'POST', headers: json, body: '{}' }, 415],
      ['sign-in: bad e-mail', '/app-signin', { method: 'POST', headers: { 'Content-Type': 'application/x-www-form-urlencoded' }, body: 'name=Ada&email=nope' }, 400],
      ['unknown path', '/api/rooms', {}, 404],
      ['wrong method', '/api/me', { method: 'DELETE' }, 405],
    ];
    for (const [what, path, init, status] of cases) {
      const reply = await fetch(`${base}${path}`, { ...init, redirect: 'manual' });
      assert.equal(reply.status, status, what);
      const text = await reply.text();
      assert.ok(text.length > 0, `${what} says why`);
    }
    const page = await postForm(base, { name: 'Ada', email: 'nope' });
    assert.match(await page.text(), /Enter an e-mail address/);
    const stillThere = await fetch(`${base}/app-signin`);
    assert.equal(stillThere.status, 200);
  });
});

test('an unknown session token reads as a session that is no longer valid', async () => {
  await withRoomd(async ({ base }) => {
    const reply = await me(base, 'made-up');
    assert.equal(reply.status, 200);
    assert.deepEqual(await reply.json(), { user: null });
  });
});

test('a sign-in whose account cannot be saved gets 500, and roomd carries on', async () => {
  const folder = scratchFolder();
  try {
    const dataDir = path.join(folder.path, 'data');
    const fixture = await startTestRoomd({ dataDir, log: () => {} });
    try {
      // A file where the data folder would be made.
      writeFileSync(dataDir, '');
      const reply = await postForm(fixture.base, { name: 'Ada', email: 'ada@example.com' });
      assert.equal(reply.status, 500);
      assert.deepEqual(await reply.json(), { error: 'The room server could not do that. Try again.' });
      assert.equal((await fetch(`${fixture.base}/app-signin`)).status, 200);
    } finally {
      await fixture.close();
    }
  } finally {
    folder.remove();
  }
});
