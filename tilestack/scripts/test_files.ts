// Finds the workspace's test files. Node 20's test runner takes no globs, so the runner
// hands it this list.

import { readdirSync } from 'node:fs';
import path from 'node:path';

const testSuffix = '.test.ts';

// Every "*.test.ts" below the given folders of `root`, as paths relative to `root`, sorted.
// Installed packages and hidden folders are not ours to test; symbolic links are not
// followed, so pnpm's links between workspace packages do not list a file twice.
export function findTestFiles(root: string, folders: readonly string[]): string[] {
  const found: string[] = [];
  const walk = (relative: string): void => {
    let entries;
    try {
      entries = readdirSync(path.join(root, relative), { withFileTypes: true });
    } catch {
      return;
    }
    for (const entry of entries) {
      const child = path.join(relative, entry.name);
      if (entry.isDirectory()) {
        if (entry.name !== 'node_modules' && !entry.name.startsWith('.')) walk(child);
      } else if (entry.isFile() && entry.name.endsWith(testSuffix)) {
        found.push(child);
      }
    }
  };
  for (const folder of folders) walk(folder);
  return found.sort();
}
