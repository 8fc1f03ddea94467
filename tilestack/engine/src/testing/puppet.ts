// A stand-in companion program that the test itself plays: every line the client writes to it
// reaches the test, and the test decides what it writes back, when, and how it ends. Tests of
// the clients use it for what the real programs cannot be made to do on demand: answers out of
// order, silence, an exit in the middle of a command.
//
//   const puppet = await Puppet.create();
//   const starting = SomeClient.start(puppet.program, { env: puppet.env() });
//   await puppet.started();
//   puppet.stdout('READY');
//   assert.equal(await puppet.nextInput(), '{"id":"1",...}');

import { chmod, writeFile } from 'node:fs/promises';
import { createServer, type Server, type Socket } from 'node:net';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { makeScratchFolder, type ScratchFolder } from './scratch_folder.ts';

type Report =
  | { kind: 'hello'; argv: string[]; pid: number }
  | { kind: 'input'; line: string }
  | { kind: 'end' }
  | { kind: 'trapped'; signal: string }
  | { kind: 'signal'; signal: string };

interface Waiter {
  matches: (report: Report) => boolean;
  resolve: (report: Report) => void;
}

const defaultWaitMs = 5000;

export class Puppet {
  // The executable to hand to a client as the companion's path.
  readonly program: string;
  private readonly reports: Report[] = [];
  private readonly waiters = new Set<Waiter>();
  private socket: Socket | null = null;

  static async create(): Promise<Puppet> {
    const folder = await makeScratchFolder('tilestack-puppet-');
    const program = join(folder.path, 'companion');
    const loader = import.meta.resolve('tsx');
    const script = join(import.meta.dirname, 'puppet_program.ts');
    await writeFile(program, `#!/bin/sh\nexec '${process.execPath}' --import '${loader}' '${script}' "$@"\n`);
    await chmod(program, 0o755);
    const server = createServer();
    const socketPath = join(folder.path, 'puppet.sock');
    await new Promise<void>((resolve) => server.listen(socketPath, resolve));
    return new Puppet(folder, server, program, socketPath);
  }

  private constructor(
    private readonly folder: ScratchFolder,
    private readonly server: Server,
    program: string,
    private readonly socketPath: string,
  ) {
    this.program = program;
    server.on('connection', (socket) => {
      this.socket = socket;
      createInterface({ input: socket }).on('line', (line) => this.receive(JSON.parse(line) as Report));
      socket.on('error', () => {});
    });
  }

  // The environment the program needs: give it to the client (more variables may be added).
  env(extra: NodeJS.ProcessEnv = {}): NodeJS.ProcessEnv {
    return { PATH: process.env['PATH'], HOME: this.folder.path, TMPDIR: this.folder.path, ...extra, PUPPET_SOCKET: this.socketPath };
  }

  // Resolves with the program's arguments once it runs.
  async started(): Promise<string[]> {
    const hello = await this.waitFor((report) => report.kind === 'hello', 'the program to start');
    return hello.kind === 'hello' ? hello.argv : [];
  }

  // The next line the client wrote to the program.
  async nextInput(): Promise<string> {
    const input = await this.waitFor((report) => report.kind === 'input' || report.kind === 'end', 'an input line');
    if (input.kind !== 'input') throw new Error('the client closed the program’s input instead of writing a line');
    return input.line;
  }

  async inputEnded(): Promise<void> {
    await this.waitFor((report) => report.kind === 'end', 'the end of the program’s input');
  }

  // Makes the program survive `signal` (it only reports it).
  async trap(signal: NodeJS.Signals): Promise<void> {
    this.order({ kind: 'trap', signal });
    await this.waitFor((report) => report.kind === 'trapped' && report.signal === signal, `the ${signal} handler`);
  }

  stdout(line: string): void {
    this.order({ kind: 'stdout', line });
  }

  stderr(line: string): void {
    this.order({ kind: 'stderr', line });
  }

  exit(code: number): void {
    this.order({ kind: 'exit', code });
  }

  // Ends the program (if it still runs) and removes the puppet's folder.
  async close(): Promise<void> {
    this.socket?.destroy();
    await new Promise<void>((resolve) => this.server.close(() => resolve()));
    await this.folder.remove();
  }

  private order(order: object): void {
    if (!this.socket) throw new Error('the puppet program has not started yet: await started() first');
    this.socket.write(`${JSON.stringify(order)}\n`);
  }

  private receive(report: Report): void {
    for (const waiter of this.waiters) {
      if (waiter.matches(report)) {
        this.waiters.delete(waiter);
        waiter.resolve(report);
        return;
      }
    }
    this.reports.push(report);
  }

  private waitFor(matches: (report: Report) => boolean, what: string): Promise<Report> {
    const index = this.reports.findIndex(matches);
    if (index >= 0) return Promise.resolve(this.reports.splice(index, 1)[0] as Report);
    return new Promise((resolve, reject) => {
      const waiter: Waiter = {
        matches,
        resolve: (report) => {
          clearTimeout(timer);
          resolve(report);
        },
      };
      const timer = setTimeout(() => {
        this.waiters.delete(waiter);
        reject(new Error(`puppet: waited ${defaultWaitMs} ms for ${what}; unread reports: ${JSON.stringify(this.reports)}`));
      }, defaultWaitMs);
      this.waiters.add(waiter);
    });
  }
}
