import assert from 'node:assert/strict';
import { chmod, mkdir, rm, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { after, before, beforeEach, describe, test } from 'node:test';
import { makeScratchFolder, type ScratchFolder } from '../testing/scratch_folder.ts';
import { companionFolders, findCheckout, locateCompanions } from './locate.ts';

const allPrograms = ['Glyphon', 'Keyhark', 'Sonette', 'Burrowd'];

describe('locateCompanions', () => {
  let scratch: ScratchFolder;
  // <scratch>/repo/tilestack is the checkout; the game runs from its engine/src.
  let checkout: string;
  let startFolder: string;
  let inBuild: string;
  let inRepositoryBuild: string;
  let inCheckoutBundle: string;
  let elsewhere: string;

  async function programsIn(folder: string, names = allPrograms, mode = 0o755): Promise<void> {
    await mkdir(folder, { recursive: true });
    for (const name of names) {
      await writeFile(join(folder, name), '#!/bin/sh\n');
      await chmod(join(folder, name), mode);
    }
  }

  before(async () => {
    scratch = await makeScratchFolder();
    checkout = join(scratch.path, 'repo', 'tilestack');
    startFolder = join(checkout, 'engine', 'src');
    [inBuild, inRepositoryBuild, inCheckoutBundle] = companionFolders(checkout) as [string, string, string];
    elsewhere = join(scratch.path, 'elsewhere');
  });
  beforeEach(async () => {
    await rm(join(scratch.path, 'repo'), { recursive: true, force: true });
    await rm(elsewhere, { recursive: true, force: true });
    await mkdir(startFolder, { recursive: true });
    await writeFile(join(checkout, 'pnpm-workspace.yaml'), 'packages: []\n');
  });
  after(() => scratch.remove());

  test('the development folders are the checkout’s build, the repository’s build, then a bundle in the checkout', () => {
    assert.deepEqual(companionFolders(checkout), [
      join(checkout, 'build/default/Deskplay.app/Contents/Resources/frondel-bin'),
      join(scratch.path, 'repo/build/default/Deskplay.app/Contents/Resources/frondel-bin'),
      join(checkout, 'Deskplay.app/Contents/Resources/frondel-bin'),
    ]);
    assert.equal(findCheckout(startFolder), checkout);
    assert.equal(findCheckout(scratch.path), null);
  });

  const found: Array<{ name: string; arrange: () => Promise<NodeJS.ProcessEnv>; from?: () => string; expect: () => Record<string, string> }> = [
    {
      name: 'the four variables, with no checkout at all',
      arrange: async () => {
        await programsIn(elsewhere);
        return {
          FRONDEL_GLYPHON_PATH: join(elsewhere, 'Glyphon'),
          FRONDEL_KEYHARK_PATH: join(elsewhere, 'Keyhark'),
          FRONDEL_SONETTE_PATH: join(elsewhere, 'Sonette'),
          FRONDEL_BURROWD_PATH: join(elsewhere, 'Burrowd'),
        };
      },
      from: () => scratch.path,
      expect: () => programPaths(elsewhere),
    },
    {
      name: 'the repository’s build beside the checkout',
      arrange: async () => (await programsIn(inRepositoryBuild), {}),
      expect: () => programPaths(inRepositoryBuild),
    },
    {
      name: 'the checkout’s own build before the repository’s',
      arrange: async () => (await programsIn(inRepositoryBuild), await programsIn(inBuild), {}),
      expect: () => programPaths(inBuild),
    },
    {
      name: 'a folder missing one program, or with one not executable, is passed over',
      arrange: async () => {
        await programsIn(inBuild, ['Glyphon', 'Keyhark', 'Sonette']);
        await programsIn(inRepositoryBuild);
        await chmod(join(inRepositoryBuild, 'Sonette'), 0o644);
        await programsIn(inCheckoutBundle);
        return {};
      },
      expect: () => programPaths(inCheckoutBundle),
    },
    {
      name: 'a variable that is set still wins over the folder',
      arrange: async () => {
        await programsIn(inRepositoryBuild);
        await programsIn(elsewhere, ['Glyphon']);
        return { FRONDEL_GLYPHON_PATH: join(elsewhere, 'Glyphon'), FRONDEL_BURROWD_PATH: '' };
      },
      expect: () => ({ ...programPaths(inRepositoryBuild), glyphon: join(elsewhere, 'Glyphon') }),
    },
  ];
  for (const { name, arrange, from, expect } of found) {
    test(`finds ${name}`, async () => {
      const env = await arrange();
      const located = locateCompanions(env, from ? from() : startFolder);
      assert.deepEqual(located, { ok: true, paths: expect() });
    });
  }

  const missing: Array<{ name: string; arrange: () => Promise<NodeJS.ProcessEnv>; from?: () => string; says: (string | (() => string))[] }> = [
    {
      name: 'a variable naming no executable file',
      arrange: async () => (await programsIn(inBuild), { FRONDEL_KEYHARK_PATH: join(elsewhere, 'Keyhark') }),
      says: ['FRONDEL_KEYHARK_PATH names', () => join(elsewhere, 'Keyhark'), 'not an executable file'],
    },
    {
      name: 'no checkout above the start folder',
      arrange: async () => ({ FRONDEL_GLYPHON_PATH: '/nowhere' }),
      from: () => scratch.path,
      says: ['FRONDEL_GLYPHON_PATH names /nowhere'],
    },
    {
      name: 'no variables and no checkout',
      arrange: async () => ({}),
      from: () => scratch.path,
      says: ['FRONDEL_GLYPHON_PATH, FRONDEL_KEYHARK_PATH, FRONDEL_SONETTE_PATH, FRONDEL_BURROWD_PATH not set', 'pnpm-workspace.yaml'],
    },
    {
      name: 'a checkout without a build',
      arrange: async () => (await programsIn(inBuild, ['Glyphon']), {}),
      says: ['Glyphon, Keyhark, Sonette, Burrowd', () => inBuild, () => inRepositoryBuild, () => inCheckoutBundle],
    },
  ];
  for (const { name, arrange, from, says } of missing) {
    test(`reports ${name}`, async () => {
      const env = await arrange();
      const located = locateCompanions(env, from ? from() : startFolder);
      assert.equal(located.ok, false);
      if (located.ok) return;
      assert.equal(located.error.kind, 'companions-not-found');
      for (const part of says) {
        const text = typeof part === 'string' ? part : part();
        assert.ok(located.error.message.includes(text), `"${located.error.message}" should mention ${text}`);
      }
    });
  }
});

function programPaths(folder: string): Record<string, string> {
  return {
    glyphon: join(folder, 'Glyphon'),
    keyhark: join(folder, 'Keyhark'),
    sonette: join(folder, 'Sonette'),
    burrowd: join(folder, 'Burrowd'),
  };
}
