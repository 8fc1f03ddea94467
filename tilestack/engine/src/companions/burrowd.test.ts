import assert from 'node:assert/strict';
import { describe, test, type TestContext } from 'node:test';
import { Puppet } from '../testing/puppet.ts';
import { BurrowdClient, type BurrowdOptions } from './burrowd.ts';

const desktopIdentity = { birth: '1:2', dev: '65024', ino: '11' };
const stashIdentity = { birth: '1:3', dev: '65024', ino: '12' };
const readyReply = JSON.stringify({ ok: true, value: { desktop: desktopIdentity, stash: stashIdentity } });

async function startBurrowd(t: TestContext, options: Partial<BurrowdOptions> = {}): Promise<{ burrowd: BurrowdClient; puppet: Puppet; argv: string[] }> {
  const puppet = await Puppet.create();
  t.after(() => puppet.close());
  const starting = BurrowdClient.start(puppet.program, { env: puppet.env(), desktop: '/h/Desktop', stash: '/h/.stash', ...options });
  const argv = await puppet.started();
  puppet.stdout(readyReply);
  const burrowd = await starting;
  t.after(() => burrowd.stop());
  return { burrowd, puppet, argv };
}

describe('BurrowdClient start', () => {
  test('passes both folders and reads both identities', async (t) => {
    const { burrowd, argv } = await startBurrowd(t);
    assert.deepEqual(argv, ['/h/Desktop', '/h/.stash']);
    assert.deepEqual(burrowd.desktopIdentity, desktopIdentity);
    assert.deepEqual(burrowd.stashIdentity, stashIdentity);
  });

  const failures = [
    {
      name: 'Burrowd’s own refusal',
      play: (puppet: Puppet) => (puppet.stdout('{"error":"Failure(message: \\"Desktop and stash must differ\\")","ok":false}'), puppet.exit(1)),
      message: 'Burrowd: cannot use /h/Desktop and /h/.stash: Desktop and stash must differ',
    },
    {
      name: 'a ready reply without the stash identity',
      play: (puppet: Puppet) => puppet.stdout(JSON.stringify({ ok: true, value: { desktop: desktopIdentity } })),
      message: /^Burrowd: wrote a ready reply without both identities/,
    },
    { name: 'an exit', play: (puppet: Puppet) => puppet.exit(1), message: /^Burrowd: did not start: ended \(exit status 1\) before it wrote ready reply/ },
  ];
  for (const { name, play, message } of failures) {
    test(`${name} is a start error`, async (t) => {
      const puppet = await Puppet.create();
      t.after(() => puppet.close());
      const starting = BurrowdClient.start(puppet.program, { env: puppet.env(), desktop: '/h/Desktop', stash: '/h/.stash' });
      await puppet.started();
      play(puppet);
      await assert.rejects(starting, { kind: 'start', message });
    });
  }
});

describe('BurrowdClient requests', () => {
  const identity = { dev: '65024', ino: '99', birth: '5:6' };
  const cases: Array<{ name: string; call: (burrowd: BurrowdClient) => Promise<unknown>; sent: object; value: unknown; resolves: unknown }> = [
    { name: 'list', call: (b) => b.list('stash'), sent: { action: 'list', endpoint: { side: 'stash', name: '.' } }, value: ['.manifest.json', 'a'], resolves: ['.manifest.json', 'a'] },
    { name: 'stat', call: (b) => b.stat('desktop', 'a b'), sent: { action: 'stat', endpoint: { side: 'desktop', name: 'a b' } }, value: identity, resolves: identity },
    { name: 'stat of nothing', call: (b) => b.stat('desktop', 'gone'), sent: { action: 'stat', endpoint: { side: 'desktop', name: 'gone' } }, value: null, resolves: null },
    {
      name: 'move',
      call: (b) => b.move({ side: 'desktop', name: 'a' }, { side: 'stash', name: 'a-1' }, identity),
      sent: { action: 'move', from: { side: 'desktop', name: 'a' }, to: { side: 'stash', name: 'a-1' }, identity },
      value: null,
      resolves: undefined,
    },
    { name: 'read', call: (b) => b.readJournal(), sent: { action: 'read' }, value: '{"moves":[]}', resolves: '{"moves":[]}' },
    { name: 'read without a journal', call: (b) => b.readJournal(), sent: { action: 'read' }, value: null, resolves: null },
    { name: 'write', call: (b) => b.writeJournal(''), sent: { action: 'write', text: '' }, value: null, resolves: undefined },
  ];

  test('each request is written with its fields, and its reply converted', async (t) => {
    const { burrowd, puppet } = await startBurrowd(t);
    for (const { name, call, sent, value, resolves } of cases) {
      const answered = call(burrowd);
      assert.deepEqual(JSON.parse(await puppet.nextInput()), sent, name);
      puppet.stdout(JSON.stringify({ ok: true, value }));
      assert.deepEqual(await answered, resolves, name);
    }
  });

  test('replies go to the requests in the order they were sent', async (t) => {
    const { burrowd, puppet } = await startBurrowd(t);
    const listing = burrowd.list('desktop');
    const moving = burrowd.move({ side: 'desktop', name: 'a' }, { side: 'stash', name: 'a' }, identity);
    const reading = burrowd.readJournal();
    for (let request = 0; request < 3; request += 1) await puppet.nextInput();
    puppet.stdout('{"ok":true,"value":["a"]}');
    puppet.stdout('{"error":"Failure(message: \\"Move source identity changed\\")","ok":false}');
    puppet.stdout('{"ok":true,"value":"journal"}');
    assert.deepEqual(await listing, ['a']);
    await assert.rejects(moving, { kind: 'refused', message: 'Burrowd: move: Move source identity changed' });
    assert.equal(await reading, 'journal');
  });

  test('a reply of the wrong shape is refused', async (t) => {
    const { burrowd, puppet } = await startBurrowd(t);
    const listing = burrowd.list('desktop');
    await puppet.nextInput();
    puppet.stdout('{"ok":true,"value":"a"}');
    await assert.rejects(listing, { kind: 'refused', message: 'Burrowd: list: the reply has no valid list of names' });
  });

  test('a request without a reply times out and stops Burrowd, failing those behind it', async (t) => {
    const { burrowd } = await startBurrowd(t, { requestTimeoutMs: 100 });
    const reading = burrowd.readJournal();
    const listing = burrowd.list('stash');
    await assert.rejects(reading, { kind: 'timeout', message: /read was not answered within 100 ms/ });
    await assert.rejects(listing, { kind: 'exited', message: /killed by SIGKILL\) before it answered list/ });
    await assert.rejects(burrowd.stat('stash', 'a'), { kind: 'exited', message: /stat not sent/ });
  });

  test('an exit fails the request in progress; stop closes the input', async (t) => {
    const { burrowd, puppet } = await startBurrowd(t);
    const writing = burrowd.writeJournal('x');
    await puppet.nextInput();
    puppet.exit(1);
    await assert.rejects(writing, { kind: 'exited', message: /exit status 1\) before it answered write/ });

    const second = await startBurrowd(t);
    const stopping = second.burrowd.stop();
    await second.puppet.inputEnded();
    second.puppet.exit(0);
    await stopping;
  });
});
