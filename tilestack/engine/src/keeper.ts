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
  created(path: string, identity: FileIdentity): void;
  removed(path: string): void;
}

// Runs in the keeper process. Lines: {"created":path,"dev":…,"ino":…}, {"removed":path},
// {"done":true}. A tile is removed only while it still is the file the engine created.
const keeperScript = `
const fs = require('node:fs');
const cacheFolder = process.argv[1];
const tiles = new Map();
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
    if (typeof message.created === 'string') tiles.set(message.created, { dev: String(message.dev), ino: String(message.ino) });
    else if (typeof message.removed === 'string') tiles.delete(message.removed);
    else if (message.done === true) tiles.clear();
  }
});
process.stdin.on('end', () => {
  for (const [path, identity] of tiles) {
    try {
      const stat = fs.lstatSync(path, { bigint: true });
      if (stat.isFile() && String(stat.dev) === identity.dev && String(stat.ino) === identity.ino) fs.unlinkSync(path);
    } catch (error) {
      if (error.code !== 'ENOENT') process.stderr.write('tilestack keeper: cannot remove a tile: ' + error.message + '\\n');
    }
  }
  try { fs.rmSync(cacheFolder, { recursive: true, force: true }); } catch (error) {
    process.stderr.write('tilestack keeper: cannot remove ' + cacheFolder + ': ' + error.message + '\\n');
  }
  process.exit(0);
});
`;

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
    const child = spawn(process.execPath, ['-e', keeperScript, cacheFolder], {
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
