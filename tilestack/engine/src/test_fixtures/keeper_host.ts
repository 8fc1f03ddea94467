// A stand-in engine for the keeper's tests: starts a keeper, reports the tiles listed in its
// argument, says so on standard output, and waits to be killed.

import fs from 'node:fs';
import { Keeper } from '../keeper.ts';

interface Plan {
  cacheFolder: string;
  expecting: string[];
  created: string[];
  removed: string[];
}

const plan = JSON.parse(process.argv[2] ?? '{}') as Plan;
const keeper = Keeper.start(plan.cacheFolder);
for (const path of plan.expecting) keeper.expecting(path);
for (const path of plan.created) {
  const stat = fs.lstatSync(path, { bigint: true });
  keeper.created(path, { dev: String(stat.dev), ino: String(stat.ino) });
}
for (const path of plan.removed) keeper.removed(path);
process.stdout.write(`ready ${keeper.pid}\n`);
setInterval(() => {}, 60_000);
