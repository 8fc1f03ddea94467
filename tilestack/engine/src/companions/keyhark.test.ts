import assert from 'node:assert/strict';
import { describe, test, type TestContext } from 'node:test';
import { pollUntil } from '../testing/poll.ts';
import { Puppet } from '../testing/puppet.ts';
import type { MouseEvent } from './contracts.ts';
import { KeyharkClient, type KeyharkMode } from './keyhark.ts';
import type { KeyEvent } from './keyhark_events.ts';

async function startKeyhark(t: TestContext, mode: KeyharkMode, captureTimeoutMs?: number): Promise<{ keyhark: KeyharkClient; puppet: Puppet; argv: string[] }> {
  const puppet = await Puppet.create();
  t.after(() => puppet.close());
  const starting = KeyharkClient.start(puppet.program, { env: puppet.env(), mode, captureTimeoutMs });
  const argv = await puppet.started();
  puppet.stderr('LISTENER_READY');
  const keyhark = await starting;
  t.after(() => keyhark.stop());
  return { keyhark, puppet, argv };
}

const permissionLines = [
  'LISTENER_PERMISSION_DENIED',
  'Global keyboard capture needs Accessibility (or Input Monitoring) for the app that launched this program.',
  'Opening System Settings — grant access to your terminal, then restart this program.',
];
const tapLines = ['LISTENER_TAP_FAILED', 'Could not create the keyboard event tap — check Accessibility permission.'];

describe('KeyharkClient start', () => {
  const refusals = [
    { name: 'a missing permission and the failed tap after it', lines: [...permissionLines, ...tapLines] },
    { name: 'a failed tap', lines: tapLines },
    { name: 'a missing permission even when the tap is made', lines: [...permissionLines, 'LISTENER_READY'] },
  ];
  for (const { name, lines } of refusals) {
    test(`${name} is a start error with Keyhark's explanation`, async (t) => {
      const puppet = await Puppet.create();
      t.after(() => puppet.close());
      const starting = KeyharkClient.start(puppet.program, { env: puppet.env(), mode: 'mouse' });
      await puppet.started();
      for (const line of lines) puppet.stderr(line);
      await assert.rejects(starting, (error: unknown) => {
        assert.ok(error instanceof Error && 'kind' in error);
        assert.equal(error.kind, 'start');
        assert.match(error.message, /^Keyhark: cannot listen to the mouse: /);
        for (const line of lines.filter((candidate) => candidate !== 'LISTENER_READY')) assert.ok(error.message.includes(line), line);
        return true;
      });
    });
  }

  test('no ready line in time is a start error', async (t) => {
    const puppet = await Puppet.create();
    t.after(() => puppet.close());
    const starting = KeyharkClient.start(puppet.program, { env: puppet.env(), mode: 'keyboard', startTimeoutMs: 100 });
    await assert.rejects(starting, { kind: 'start', message: 'Keyhark: did not say LISTENER_READY within 100 ms' });
  });
});

describe('KeyharkClient events', () => {
  test('mouse mode reports mouse events and drops every other line', async (t) => {
    const { keyhark, puppet, argv } = await startKeyhark(t, 'mouse');
    assert.deepEqual(argv, ['--mouse-only']);
    const events: MouseEvent[] = [];
    keyhark.onMouse((event) => events.push(event));
    keyhark.onKey(() => assert.fail('no key events in mouse mode'));
    puppet.stdout('{"type":"keydown","keyCode":0,"char":"a"}');
    puppet.stdout('{"type":"click","x":"1","y":2}');
    puppet.stdout('{"type":"mousedown","x":300,"y":200}');
    puppet.stdout('{"type":"click","x":300,"y":200,"target":"\\/d\\/a.txt"}');
    await pollUntil('two mouse events', async () => events.length >= 2);
    assert.deepEqual(events, [
      { type: 'mousedown', x: 300, y: 200 },
      { type: 'click', x: 300, y: 200, target: '/d/a.txt' },
    ]);
  });

  test('keyboard mode reports key presses and takes no capture commands', async (t) => {
    const { keyhark, puppet, argv } = await startKeyhark(t, 'keyboard');
    assert.deepEqual(argv, []);
    const keys: KeyEvent[] = [];
    keyhark.onKey((event) => keys.push(event));
    puppet.stdout('{"type":"click","x":1,"y":2}');
    puppet.stdout('{"type":"keydown","keyCode":123,"char":""}');
    await pollUntil('a key event', async () => keys.length >= 1);
    assert.deepEqual(keys, [{ keyCode: 123, char: '' }]);
    assert.throws(() => keyhark.captureDesktopDrags(true), /mouse mode only/);
  });
});

describe('KeyharkClient capture commands', () => {
  test('are written as JSON and resolve once Keyhark confirms them', async (t) => {
    const { keyhark, puppet } = await startKeyhark(t, 'mouse');
    const capturing = keyhark.captureDesktopDrags(true);
    assert.equal(await puppet.nextInput(), '{"captureDesktopDrags":true}');
    puppet.stderr('MOUSE_CAPTURE on');
    await capturing;

    const fenced = keyhark.captureRects([{ x: 0, y: 0, width: 10, height: 20, label: 'extra' } as never]);
    assert.equal(await puppet.nextInput(), '{"captureRects":[{"x":0,"y":0,"width":10,"height":20}]}');
    puppet.stderr('MOUSE_CAPTURE rects=1');
    await fenced;
  });

  test('an unconfirmed command times out without an unhandled rejection when dropped', async (t) => {
    const { keyhark, puppet } = await startKeyhark(t, 'mouse', 100);
    void keyhark.captureDesktopDrags(false);
    const awaited = keyhark.captureDesktopDrags(false);
    await puppet.nextInput();
    await assert.rejects(awaited, { kind: 'timeout' });
  });

  test('after Keyhark ended they fail at once', async (t) => {
    const { keyhark, puppet } = await startKeyhark(t, 'mouse');
    const ended = new Promise((resolve) => keyhark.onExit(resolve));
    puppet.exit(0);
    await ended;
    await assert.rejects(keyhark.captureRects([]), { kind: 'exited' });
  });
});

describe('KeyharkClient lifecycle', () => {
  test('stop ends Keyhark with SIGTERM', async (t) => {
    const { keyhark } = await startKeyhark(t, 'mouse');
    const ended = new Promise((resolve) => keyhark.onExit(resolve));
    await keyhark.stop();
    assert.deepEqual(await ended, { code: null, signal: 'SIGTERM' });
  });

  const checks = [
    { answer: 'TRUSTED', trusted: true },
    { answer: 'UNTRUSTED', trusted: false },
  ];
  for (const { answer, trusted } of checks) {
    test(`check reads ${answer}`, async (t) => {
      const puppet = await Puppet.create();
      t.after(() => puppet.close());
      const checking = KeyharkClient.check(puppet.program, puppet.env());
      assert.deepEqual(await puppet.started(), ['--check']);
      puppet.stdout(answer);
      puppet.exit(trusted ? 0 : 1);
      assert.equal(await checking, trusted);
    });
  }

  test('check fails on an answer it does not know', async (t) => {
    const puppet = await Puppet.create();
    t.after(() => puppet.close());
    const checking = KeyharkClient.check(puppet.program, puppet.env());
    await puppet.started();
    puppet.stdout('MAYBE');
    puppet.exit(0);
    await assert.rejects(checking, { kind: 'start', message: 'Keyhark: answered the permission check with "MAYBE"' });
  });
});
