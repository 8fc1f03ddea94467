import assert from 'node:assert/strict';
import { join } from 'node:path';
import { test } from 'node:test';
import { lookUpBuild } from './build.ts';
import { makeScratchFolder } from './scratch_folder.ts';

test('a named build folder without the programs is no reason to skip: the tests fail saying what is missing', async (t) => {
  const scratch = await makeScratchFolder();
  t.after(() => scratch.remove());
  for (const folder of [scratch.path, join(scratch.path, 'not-there')]) {
    const build = lookUpBuild({ TILESTACK_BUILD_DIR: folder });
    assert.equal(build.skip, false);
    assert.throws(() => build.programs(), (error: Error) => {
      assert.match(error.message, new RegExp(`^The build at ${folder} lacks `));
      for (const part of ['frondel-bin/Glyphon', 'frondel-bin/Burrowd', 'simdesk/server/simdesk', 'simdesk/ctl/simdeskctl', 'sim-tools']) {
        assert.ok(error.message.includes(join(folder, '')) && error.message.includes(part), part);
      }
      return true;
    });
  }
});
