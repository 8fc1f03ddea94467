// The built programs that integration tests run: the four companions, simdesk, simdeskctl and
// the simulated command-line tools. The build folder is TILESTACK_BUILD_DIR, else the
// repository's default build beside the workspace (<tilestack>/../build/default).
//
//   const build = lookUpBuild();
//   describe('Glyphon against simdesk', { skip: build.skip }, () => {
//     test('…', async () => { const programs = build.programs(); … });
//   });
//
// Tests are skipped only when no build was asked for and the default folder does not exist;
// once a build folder is named or exists, a missing program fails the test that needs it.

import { accessSync, constants, existsSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { findCheckout } from '../companions/locate.ts';

export interface BuiltPrograms {
  folder: string;
  glyphon: string;
  keyhark: string;
  sonette: string;
  burrowd: string;
  simdesk: string;
  simdeskctl: string;
  // The folder of PlistBuddy, killall and open for simulated macOS (DESKPLAY_SIM_TOOLS).
  simTools: string;
}

export interface BuildLookup {
  // A reason to skip, or false.
  skip: string | false;
  // The programs; throws an Error naming what is missing.
  programs(): BuiltPrograms;
}

export function lookUpBuild(env: NodeJS.ProcessEnv = process.env): BuildLookup {
  const named = env['TILESTACK_BUILD_DIR'];
  const folder = named ? resolve(named) : defaultBuildFolder();
  if (!named && !existsSync(folder)) {
    return {
      skip: `no build at ${folder} (build the repository, or set TILESTACK_BUILD_DIR)`,
      programs: () => {
        throw new Error(`No build at ${folder}`);
      },
    };
  }
  return { skip: false, programs: () => builtPrograms(folder) };
}

function defaultBuildFolder(): string {
  const checkout = findCheckout(import.meta.dirname);
  if (!checkout) throw new Error(`no tilestack workspace above ${import.meta.dirname}`);
  return resolve(checkout, '..', 'build', 'default');
}

function builtPrograms(folder: string): BuiltPrograms {
  const bin = join(folder, 'Deskplay.app', 'Contents', 'Resources', 'frondel-bin');
  const programs: BuiltPrograms = {
    folder,
    glyphon: join(bin, 'Glyphon'),
    keyhark: join(bin, 'Keyhark'),
    sonette: join(bin, 'Sonette'),
    burrowd: join(bin, 'Burrowd'),
    simdesk: join(folder, 'sim', 'simdesk', 'server', 'simdesk'),
    simdeskctl: join(folder, 'sim', 'simdesk', 'ctl', 'simdeskctl'),
    simTools: join(folder, 'sim-tools'),
  };
  const missing = Object.entries(programs)
    .filter(([key]) => key !== 'folder' && key !== 'simTools')
    .map(([, path]) => path)
    .filter((path) => !isExecutable(path));
  if (!existsSync(programs.simTools)) missing.push(programs.simTools);
  if (missing.length > 0) {
    throw new Error(`The build at ${folder} lacks ${missing.join(', ')}: build the repository first (TILESTACK_BUILD_DIR names another build)`);
  }
  return programs;
}

function isExecutable(path: string): boolean {
  try {
    accessSync(path, constants.X_OK);
    return true;
  } catch {
    return false;
  }
}
