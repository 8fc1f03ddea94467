// Where the four companion programs are. Deskplay names each in an environment variable when
// it runs a packaged game; a game run from the checkout gets none of them, and the programs
// are found in a build of the application next to the checkout.

import { accessSync, constants, statSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';

export interface CompanionPaths {
  glyphon: string;
  keyhark: string;
  sonette: string;
  burrowd: string;
}

export interface CompanionsNotFound {
  kind: 'companions-not-found';
  // Says which programs are missing and every place that was looked at.
  message: string;
}

export type LocateResult = { ok: true; paths: CompanionPaths } | { ok: false; error: CompanionsNotFound };

const programs: ReadonlyArray<{ key: keyof CompanionPaths; file: string; variable: string }> = [
  { key: 'glyphon', file: 'Glyphon', variable: 'FRONDEL_GLYPHON_PATH' },
  { key: 'keyhark', file: 'Keyhark', variable: 'FRONDEL_KEYHARK_PATH' },
  { key: 'sonette', file: 'Sonette', variable: 'FRONDEL_SONETTE_PATH' },
  { key: 'burrowd', file: 'Burrowd', variable: 'FRONDEL_BURROWD_PATH' },
];

export const checkoutMarker = 'pnpm-workspace.yaml';
const bundlePrograms = join('Deskplay.app', 'Contents', 'Resources', 'frondel-bin');

// The folders of a checkout that may hold the programs, in the order they are tried.
export function companionFolders(checkout: string): string[] {
  return [
    join(checkout, 'build', 'default', bundlePrograms),
    join(checkout, '..', 'build', 'default', bundlePrograms),
    join(checkout, bundlePrograms),
  ].map((folder) => resolve(folder));
}

// The first folder from `startFolder` upwards that holds pnpm-workspace.yaml, or null.
export function findCheckout(startFolder: string): string | null {
  for (let folder = resolve(startFolder); ; folder = dirname(folder)) {
    if (isFile(join(folder, checkoutMarker))) return folder;
    if (dirname(folder) === folder) return null;
  }
}

export function locateCompanions(env: NodeJS.ProcessEnv, startFolder: string): LocateResult {
  const problems: string[] = [];
  const named: Partial<CompanionPaths> = {};
  for (const { key, variable } of programs) {
    const path = env[variable];
    if (!path) continue;
    if (isExecutable(path)) named[key] = path;
    else problems.push(`${variable} names ${path}, which is not an executable file`);
  }
  if (problems.length > 0) return notFound(problems);
  const unnamed = programs.filter(({ key }) => named[key] === undefined);
  if (unnamed.length === 0) return { ok: true, paths: named as CompanionPaths };

  const variables = unnamed.map(({ variable }) => variable).join(', ');
  const checkout = findCheckout(startFolder);
  if (!checkout) {
    return notFound([`${variables} not set, and no checkout (a folder holding ${checkoutMarker}) above ${resolve(startFolder)}`]);
  }
  const folders = companionFolders(checkout);
  const folder = folders.find((candidate) => programs.every(({ file }) => isExecutable(join(candidate, file))));
  if (!folder) {
    const names = programs.map(({ file }) => file).join(', ');
    return notFound([`${variables} not set, and no folder holds all of ${names}; looked in ${folders.join(', ')}`]);
  }
  const paths = { ...named };
  for (const { key, file } of unnamed) paths[key] = join(folder, file);
  return { ok: true, paths: paths as CompanionPaths };
}

function notFound(problems: string[]): LocateResult {
  return { ok: false, error: { kind: 'companions-not-found', message: `Companion programs not found: ${problems.join('; ')}` } };
}

function isFile(path: string): boolean {
  try {
    return statSync(path).isFile();
  } catch {
    return false;
  }
}

function isExecutable(path: string): boolean {
  if (!isFile(path)) return false;
  try {
    accessSync(path, constants.X_OK);
    return true;
  } catch {
    return false;
  }
}
