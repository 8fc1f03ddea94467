import assert from 'node:assert/strict';
import { access, readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { lookUpBuild } from './build.ts';
import { SimdeskSession } from './simdesk_session.ts';

const build = lookUpBuild();

describe('SimdeskSession', { skip: build.skip }, () => {
  test('a private desktop that simdeskctl sees and drives, removed at stop', async (t) => {
    const session = await SimdeskSession.start(build.programs(), { args: ['--screens', '800x600'] });
    t.after(() => session.stop());
    assert.equal(session.ready, `SIMDESK_READY ${session.socket}`);
    for (const value of [session.env()['HOME'], session.env()['TMPDIR'], session.env()['XDG_RUNTIME_DIR']]) {
      assert.ok(value?.startsWith(join(session.home, '..')), `${value} lies inside the session's folder`);
    }

    await writeFile(join(session.desktop, 'a.txt'), 'a');
    const state = await session.state();
    assert.equal(state.finder.desktopFolder, session.desktop);
    assert.deepEqual(state.screens[0]?.frame, { x: 0, y: 0, w: 800, h: 600 });
    const item = await session.desktopItem('a.txt');
    assert.equal(item?.path, join(session.desktop, 'a.txt'));
    assert.equal(await session.desktopItem('b.txt'), null);

    await session.click(10, 10);
    const shot = join(session.tmp, 'shot.png');
    await session.screenshot(shot);
    assert.deepEqual([...(await readFile(shot)).subarray(1, 4)], [...Buffer.from('PNG')]);
    await assert.rejects(session.ctlOk(['no-such-command']), /simdeskctl no-such-command failed \(exit status 2\): .*unknown command/);

    await session.stop();
    await assert.rejects(access(session.home), { code: 'ENOENT' });
  });
});
