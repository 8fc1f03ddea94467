// A stand-in engine for the keeper's tests: starts a keeper, reports the tiles listed in its
// argument, starts the companion it names, says so on standard output, and waits to be killed.

import { spawn } from 'node:child_process';
import fs from 'node:fs';
import { Keeper } from '../keeper.ts';

interface Plan {
  cacheFolder: string;
  expecting: string[];
  created: string[];
  removed: string[];
  // A companion in the engine's process group that makes `makes` once `trigger` exists.
  companion?: { makes: string; trigger: string };
}

const plan = JSON.parse(process.argv[2] ?? '{}') as Plan;
const keeper = Keeper.start(plan.cacheFolder);
for (const path of plan.expecting) keeper.expecting(path);
for (const path of plan.created) {
  const stat = fs.lstatSync(path, { bigint: true });
  keeper.created(path, { dev: String(stat.dev), ino: String(stat.ino) });
}
for (const path of plan.removed) keeper.removed(path);
if (plan.companion) {
  const script = `const fs = require('node:fs');
const [makes, trigger] = process.argv.slice(1);
const timer = setInterval(() => {
  if (!fs.existsSync(trigger)) return;
  clearInterval(timer);
  fs.writeFileSync(makes, '');
}, 10);`;
  const companion = spawn(process.execPath, ['-e', script, plan.companion.makes, plan.companion.trigger], { stdio: 'ignore' });
  process.stdout.write(`companion ${companion.pid}\n`);
}
process.stdout.write(`ready ${keeper.pid}\n`);
setInterval(() => {}, 60_000);
