// The keeper: a small process of its own that removes the session's tiles and template cache
// when the engine dies without cleaning up (SIGKILL, a crash). It is detached, so killing the
// engine's process group spares it, and it learns of the engine's end from its standard input
// reaching its end, which happens however the engine goes.

import { spawn, type ChildProcess } from 'node:child_process';
import type { Writable } from 'node:stream';

export interface FileIdentity {
  dev: string;
  ino: string;
}

// What the tile layer tells the keeper.
export interface TileWatch {
  // Told before the file is made, so that a kill between making it and `created` cannot
  // leave it behind.
  expecting(path: string): void;
  created(path: string, identity: FileIdentity): void;
  removed(path: string): void;
}

// Runs in the keeper process, given the cache folder and the engine's process group (or ''). Lines: {"expecting":path}, {"created":path,"dev":…,"ino":…},
// {"removed":path}, {"done":true}. A tile is removed only while it still is the file the engine
// created; a tile only expected, only while it is an empty regular file (as a new tile is: the
// Desktop was emptied for the session, so nothing else can have that name meanwhile).
const keeperScript = `
const fs = require('node:fs');
const cacheFolder = process.argv[1];
const tiles = new Map();
const expected = new Set();
let pending = '';
for (const signal of ['SIGINT', 'SIGHUP']) process.on(signal, () => {});
process.stdin.setEncoding('utf8');
process.stdin.on('data', (chunk) => {
  pending += chunk;
  let newline;
  while ((newline = pending.indexOf('\\n')) >= 0) {
    const line = pending.slice(0, newline);
    pending = pending.slice(newline + 1);
    let message;
    try { message = JSON.parse(line); } catch { continue; }
    if (typeof message.expecting === 'string') expected.add(message.expecting);
    else if (typeof message.created === 'string') {
      expected.delete(message.created);
      tiles.set(message.created, { dev: String(message.dev), ino: String(message.ino) });
    } else if (typeof message.removed === 'string') {
      expected.delete(message.removed);
      tiles.delete(message.removed);
    } else if (message.done === true) {
      expected.clear();
      tiles.clear();
    }
  }
});
function removeWhile(path, stillTheTile) {
  try {
    if (stillTheTile(fs.lstatSync(path, { bigint: true }))) fs.unlinkSync(path);
  } catch (error) {
    if (error.code !== 'ENOENT') process.stderr.write('tilestack keeper: cannot remove a tile: ' + error.message + '\\n');
  }
}
// The engine's companions are in the engine's process group when the engine leads one (as the
// application starts it), and one of them may still be making a tile the engine asked for when
// the engine dies. The tiles are removed only once nothing of that group runs any more, or
// after a while, so that such a tile does not come after the clean-up.
const engineGroup = process.argv[2] ? Number(process.argv[2]) : undefined;
function groupRuns(group) {
  let entries;
  try { entries = fs.readdirSync('/proc'); } catch { entries = undefined; }
  if (entries === undefined) {
    try { process.kill(-group, 0); return true; } catch { return false; }
  }
  for (const name of entries) {
    if (!/^[0-9]+$/.test(name)) continue;
    let stat;
    try { stat = fs.readFileSync('/proc/' + name + '/stat', 'utf8'); } catch { continue; }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    if (Number(fields[2]) === group && fields[0] !== 'Z' && fields[0] !== 'X') return true;
  }
  return false;
}
const groupWaitMs = 10000;
function afterTheGroup(then) {
  if (engineGroup === undefined) { then(); return; }
  if (!groupRuns(engineGroup)) { then(); return; }
  process.stderr.write('tilestack keeper: the engine ended; its companions still run, the tiles go once they end\\n');
  const deadline = Date.now() + groupWaitMs;
  const check = () => {
    if (!groupRuns(engineGroup) || Date.now() >= deadline) then();
    else setTimeout(check, 20);
  };
  setTimeout(check, 20);
}
process.stdin.on('end', () => afterTheGroup(() => {
  for (const [path, identity] of tiles) {
    removeWhile(path, (stat) => stat.isFile() && String(stat.dev) === identity.dev && String(stat.ino) === identity.ino);
  }
  for (const path of expected) removeWhile(path, (stat) => stat.isFile() && stat.size === 0n);
  try { fs.rmSync(cacheFolder, { recursive: true, force: true }); } catch (error) {
    process.stderr.write('tilestack keeper: cannot remove ' + cacheFolder + ': ' + error.message + '\\n');
  }
  process.exit(0);
}));
`;

// The engine's own process group when it leads one, else nothing: the keeper then has no group
// to wait for.
function ledProcessGroup(): string {
  try {
    process.kill(-process.pid, 0);
    return String(process.pid);
  } catch {
    return '';
  }
}

export class Keeper implements TileWatch {
  readonly #child: ChildProcess;
  readonly #input: Writable;
  #open = true;

  private constructor(child: ChildProcess, input: Writable) {
    this.#child = child;
    this.#input = input;
  }

  // Starts the keeper for the session's cache folder (removed by the keeper in any case).
  static start(cacheFolder: string): Keeper {
    const child = spawn(process.execPath, ['-e', keeperScript, cacheFolder, ledProcessGroup()], {
      detached: true,
      stdio: ['pipe', 'ignore', 'inherit'],
      cwd: '/',
    });
    const input = child.stdin;
    if (input === null) throw new Error('the keeper has no standard input');
    // A keeper that died leaves the engine writing into a closed pipe; the tiles are still
    // removed by the engine itself on any ordinary end.
    input.on('error', () => {});
    child.on('error', () => {});
    child.unref();
    (input as Writable & { unref?: () => void }).unref?.();
    return new Keeper(child, input);
  }

  get pid(): number | undefined {
    return this.#child.pid;
  }

  expecting(path: string): void {
    this.#send({ expecting: path });
  }

  created(path: string, identity: FileIdentity): void {
    this.#send({ created: path, dev: identity.dev, ino: identity.ino });
  }

  removed(path: string): void {
    this.#send({ removed: path });
  }

  // The engine removed its tiles itself: the keeper only removes the cache folder and ends.
  done(): void {
    this.#send({ done: true });
    this.#open = false;
    this.#input.end();
  }

  #send(message: object): void {
    if (this.#open) this.#input.write(`${JSON.stringify(message)}\n`);
  }
}
