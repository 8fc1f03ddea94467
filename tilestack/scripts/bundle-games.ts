// Builds the packaged games into the application bundle's games folder (the CMake build runs
// it): node --import tsx scripts/bundle-games.ts --out <Resources>/games

import path from 'node:path';
import { parseArgs } from 'node:util';

import { BundleError, bundleGames } from './bundle_games.ts';

const usage = `usage: node --import tsx scripts/bundle-games.ts --out DIR [--games DIR]

Bundles each game of the games folder (default: the workspace's games/) into DIR/<id>/:
manifest.json (its checked game.json), <id>.mjs (the game with the engine inlined), a
package.json so that \`node DIR/<id>\` runs it, and sounds/<name>.wav. Folders of games that
no longer exist are removed from DIR.
`;

function fail(message: string, status: number): number {
  process.stderr.write(`bundle-games: ${message}\n`);
  return status;
}

async function main(args: string[]): Promise<number> {
  let options;
  try {
    options = parseArgs({
      args,
      options: {
        out: { type: 'string' },
        games: { type: 'string' },
        help: { type: 'boolean', short: 'h' },
      },
      strict: true,
      allowPositionals: false,
    }).values;
  } catch (error) {
    return fail(`${(error as Error).message} (see --help)`, 2);
  }
  if (options.help) {
    process.stdout.write(usage);
    return 0;
  }
  if (!options.out) return fail('--out DIR is needed (see --help)', 2);
  const gamesDir = path.resolve(options.games ?? path.join(import.meta.dirname, '..', 'games'));
  try {
    const { bundled, removed } = await bundleGames(gamesDir, path.resolve(options.out));
    const gone = removed.length > 0 ? `; removed ${removed.join(', ')}` : '';
    console.log(`bundle-games: ${bundled.length > 0 ? bundled.join(', ') : 'no games'}${gone}`);
    return 0;
  } catch (error) {
    if (error instanceof BundleError) return fail(error.message, 1);
    throw error;
  }
}

process.exitCode = await main(process.argv.slice(2));
