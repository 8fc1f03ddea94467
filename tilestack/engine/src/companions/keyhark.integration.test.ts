// The client against the real Keyhark on a private simdesk.

import assert from 'node:assert/strict';
import { writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test, type TestContext } from 'node:test';
import { lookUpBuild } from '../testing/build.ts';
import { pollUntil } from '../testing/poll.ts';
import { SimdeskSession } from '../testing/simdesk_session.ts';
import type { MouseEvent } from './contracts.ts';
import { KeyharkClient, type KeyharkMode } from './keyhark.ts';
import type { KeyEvent } from './keyhark_events.ts';

const build = lookUpBuild();

async function startSession(t: TestContext): Promise<SimdeskSession> {
  const session = await SimdeskSession.start(build.programs());
  t.after(() => session.stop());
  return session;
}

async function startKeyhark(t: TestContext, session: SimdeskSession, mode: KeyharkMode): Promise<KeyharkClient> {
  const keyhark = await KeyharkClient.start(build.programs().keyhark, { env: session.env(), mode });
  t.after(() => keyhark.stop());
  return keyhark;
}

describe('KeyharkClient with the real Keyhark', { skip: build.skip }, () => {
  test('a click on a desktop icon is reported with the file under the pointer', async (t) => {
    const session = await startSession(t);
    await writeFile(join(session.desktop, 'a.txt'), 'a');
    const icon = (await session.desktopItem('a.txt'))?.position;
    assert.ok(icon);
    const keyhark = await startKeyhark(t, session, 'mouse');
    const events: MouseEvent[] = [];
    keyhark.onMouse((event) => events.push(event));

    await session.click(icon.x, icon.y);
    await pollUntil('the click', async () => events.some((event) => event.type === 'click'));
    assert.deepEqual(events, [
      { type: 'mousedown', ...icon },
      { type: 'mouseup', ...icon },
      { type: 'click', ...icon, target: join(session.desktop, 'a.txt') },
    ]);
  });

  test('a captured drag on the desktop is reported and never reaches Finder', async (t) => {
    const session = await startSession(t);
    await writeFile(join(session.desktop, 'a.txt'), 'a');
    const icon = (await session.desktopItem('a.txt'))?.position;
    assert.ok(icon);
    const keyhark = await startKeyhark(t, session, 'mouse');
    const events: MouseEvent[] = [];
    keyhark.onMouse((event) => events.push(event));

    await keyhark.captureRects([]);
    await keyhark.captureDesktopDrags(true);
    await session.drag(icon, { x: 500, y: 500 }, 3);
    await pollUntil('the drag’s end', async () => events.some((event) => event.type === 'mouseup'));
    assert.deepEqual(
      events.map((event) => event.type),
      ['mousedown', 'dragstart', 'drag', 'drag', 'drag', 'dragend', 'mouseup'],
    );
    assert.deepEqual(events.at(-1), { type: 'mouseup', x: 500, y: 500 });
    assert.deepEqual((await session.desktopItem('a.txt'))?.position, icon, 'Finder did not move the icon');
  });

  test('keyboard mode reports key presses', async (t) => {
    const session = await startSession(t);
    const keyhark = await startKeyhark(t, session, 'keyboard');
    const keys: KeyEvent[] = [];
    keyhark.onKey((event) => keys.push(event));
    await session.key(0, { chars: 'a' });
    await session.key(123);
    await pollUntil('two keys', async () => keys.length >= 2);
    assert.deepEqual(keys, [
      { keyCode: 0, char: 'a' },
      { keyCode: 123, char: keys[1]?.char ?? '' },
    ]);
  });

  test('without permission the check says so and a start fails with Keyhark’s explanation', async (t) => {
    const session = await startSession(t);
    const keyhark = build.programs().keyhark;
    assert.equal(await KeyharkClient.check(keyhark, session.env()), true);
    await session.privacy('revoke', 'accessibility', 'Keyhark');
    await session.privacy('revoke', 'input-monitoring', 'Keyhark');
    assert.equal(await KeyharkClient.check(keyhark, session.env()), false);
    const explanation = 'LISTENER_PERMISSION_DENIED Global keyboard capture needs Accessibility (or Input Monitoring) for the app that launched this program.';
    await assert.rejects(KeyharkClient.start(keyhark, { env: session.env(), mode: 'mouse' }), {
      kind: 'start',
      message: `Keyhark: cannot listen to the mouse: ${explanation} Opening System Settings — grant access to your terminal, then restart this program.`,
    });
    await assert.rejects(KeyharkClient.start(keyhark, { env: session.env(), mode: 'keyboard' }), {
      kind: 'start',
      message: /^Keyhark: cannot listen to the keyboard: .* LISTENER_TAP_FAILED Could not create the keyboard event tap — check Accessibility permission\.$/,
    });
  });

  test('stop ends Keyhark', async (t) => {
    const session = await startSession(t);
    const keyhark = await startKeyhark(t, session, 'mouse');
    const ended = new Promise((resolve) => keyhark.onExit(resolve));
    await keyhark.stop();
    assert.deepEqual(await ended, { code: null, signal: 'SIGTERM' });
  });
});
