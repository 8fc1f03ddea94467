// A child program spoken to in lines: its standard output and error split into lines, lines
// written to its standard input, its end tracked. Every companion client is built on this.

import { spawn, type ChildProcess } from 'node:child_process';
import { CompanionError, type CompanionErrorKind } from './contracts.ts';

export type CompanionName = CompanionError['companion'];
export type OutputStream = 'stdout' | 'stderr';

export interface ExitStatus {
  code: number | null;
  signal: NodeJS.Signals | null;
  // Set when the program could not be started at all.
  startError?: CompanionError;
}

export interface LineProcessOptions {
  companion: CompanionName;
  path: string;
  args?: readonly string[];
  env: NodeJS.ProcessEnv;
}

export interface StopOptions {
  // Written as a line before standard input is closed ("EXIT").
  word?: string;
  // Sent instead of closing standard input, for programs that ignore their input's end.
  signal?: NodeJS.Signals;
  // How long the program may take to end before it is killed.
  deadlineMs: number;
}

type LineListener = (line: string) => void;

// How many lines of standard error are kept for error messages.
const keptErrorLines = 20;
// After the program ended, how long its pipes may stay open (held by a program it started).
const pipeCloseGraceMs = 250;

export class LineProcess {
  readonly companion: CompanionName;
  readonly path: string;
  readonly exited: Promise<ExitStatus>;
  private readonly child: ChildProcess;
  private readonly listeners: Record<OutputStream, Set<LineListener>> = { stdout: new Set(), stderr: new Set() };
  private readonly exitListeners = new Set<(status: ExitStatus) => void>();
  private readonly errorLines: string[] = [];
  private status: ExitStatus | null = null;
  private inputOpen = true;
  private resolveExited!: (status: ExitStatus) => void;

  // Starts the program. A program that cannot be started ends at once with `startError` set,
  // which every wait reports as a 'start' error.
  static spawn(options: LineProcessOptions): LineProcess {
    return new LineProcess(options);
  }

  private constructor(options: LineProcessOptions) {
    this.companion = options.companion;
    this.path = options.path;
    this.exited = new Promise((resolve) => {
      this.resolveExited = resolve;
    });
    this.child = spawn(options.path, options.args ?? [], {
      env: options.env,
      stdio: ['pipe', 'pipe', 'pipe'],
    });
    let spawned = false;
    this.child.once('spawn', () => {
      spawned = true;
    });
    this.child.once('error', (error: NodeJS.ErrnoException) => {
      if (!spawned) {
        this.finish({ code: null, signal: null, startError: this.startError(error) });
      }
    });
    // Writes to a program that has ended fail with EPIPE; its end is reported through `exited`.
    this.child.stdin?.on('error', () => {
      this.inputOpen = false;
    });
    this.splitLines('stdout');
    this.splitLines('stderr');
    this.child.once('exit', (code, signal) => {
      const status = { code, signal };
      const timer = setTimeout(() => {
        this.child.stdout?.destroy();
        this.child.stderr?.destroy();
        this.finish(status);
      }, pipeCloseGraceMs);
      this.child.once('close', () => {
        clearTimeout(timer);
        this.finish(status);
      });
    });
  }

  // How the program ended, or null while it runs.
  get exitStatus(): ExitStatus | null {
    return this.status;
  }

  onLine(stream: OutputStream, listener: LineListener): () => void {
    this.listeners[stream].add(listener);
    return () => this.listeners[stream].delete(listener);
  }

  // Called once the program has ended and every line it wrote has been delivered.
  onExit(listener: (status: ExitStatus) => void): void {
    if (this.status) listener(this.status);
    else this.exitListeners.add(listener);
  }

  // Resolves with the first line from now on that matches. Rejects with 'timeout' when none
  // comes in time, with 'exited' when the program ends first, or with 'start' when it could
  // not be started.
  waitForLine(stream: OutputStream, matches: (line: string) => boolean, timeoutMs: number, what: string): Promise<string> {
    return new Promise((resolve, reject) => {
      const done = (): void => {
        clearTimeout(timer);
        stopListening();
        this.exitListeners.delete(onExit);
      };
      const onExit = (status: ExitStatus): void => {
        done();
        reject(status.startError ?? this.error('exited', `ended (${describeExit(status)}) before it wrote ${what}`));
      };
      const stopListening = this.onLine(stream, (line) => {
        if (!matches(line)) return;
        done();
        resolve(line);
      });
      const timer = setTimeout(() => {
        done();
        reject(this.error('timeout', `wrote no ${what} within ${timeoutMs} ms`));
      }, timeoutMs);
      this.onExit(onExit);
    });
  }

  // Writes one line; false when the program's input is closed (it has ended or is stopping).
  writeLine(line: string): boolean {
    const input = this.child.stdin;
    if (!this.inputOpen || this.status || !input || input.destroyed) return false;
    input.write(`${line}\n`);
    return true;
  }

  closeInput(): void {
    this.inputOpen = false;
    this.child.stdin?.end();
  }

  kill(signal: NodeJS.Signals): void {
    if (!this.status) this.child.kill(signal);
  }

  // Asks the program to end (stop word, or signal, or the end of its input), waits until
  // `deadlineMs`, then kills it.
  async stop(options: StopOptions): Promise<ExitStatus> {
    if (this.status) return this.status;
    if (options.word !== undefined) this.writeLine(options.word);
    if (options.signal) this.kill(options.signal);
    else this.closeInput();
    let timer: NodeJS.Timeout | undefined;
    const late = new Promise<'late'>((resolve) => {
      timer = setTimeout(() => resolve('late'), options.deadlineMs);
    });
    const ended = await Promise.race([this.exited, late]);
    clearTimeout(timer);
    if (ended !== 'late') return ended;
    this.kill('SIGKILL');
    return this.exited;
  }

  // A CompanionError of this program, with its recent error output appended for 'start' and
  // 'exited' errors, where it usually says why.
  error(kind: CompanionErrorKind, message: string): CompanionError {
    const output = kind === 'start' || kind === 'exited' ? this.errorLines : [];
    const detail = output.length > 0 ? ` (its last error output: ${output.join(' | ')})` : '';
    return new CompanionError(this.companion, kind, `${message}${detail}`);
  }

  private splitLines(stream: OutputStream): void {
    const source = this.child[stream];
    if (!source) return;
    source.setEncoding('utf8');
    let pending = '';
    source.on('data', (chunk: string) => {
      pending += chunk;
      let end = pending.indexOf('\n');
      while (end >= 0) {
        const line = pending.slice(0, end);
        pending = pending.slice(end + 1);
        this.deliver(stream, line.endsWith('\r') ? line.slice(0, -1) : line);
        end = pending.indexOf('\n');
      }
    });
    source.on('end', () => {
      if (pending !== '') this.deliver(stream, pending);
      pending = '';
    });
    source.on('error', () => {});
  }

  private deliver(stream: OutputStream, line: string): void {
    if (stream === 'stderr') {
      this.errorLines.push(line);
      if (this.errorLines.length > keptErrorLines) this.errorLines.shift();
    }
    for (const listener of [...this.listeners[stream]]) listener(line);
  }

  private finish(status: ExitStatus): void {
    if (this.status) return;
    this.status = status;
    this.inputOpen = false;
    this.resolveExited(status);
    for (const listener of [...this.exitListeners]) listener(status);
    this.exitListeners.clear();
  }

  private startError(error: NodeJS.ErrnoException): CompanionError {
    const reasons: Record<string, string> = {
      ENOENT: 'there is no such file',
      EACCES: 'permission denied (is it an executable file?)',
      ENOTDIR: 'a folder on its path is a file',
    };
    const reason = (error.code && reasons[error.code]) ?? error.message;
    return new CompanionError(this.companion, 'start', `cannot start ${this.path}: ${reason}`);
  }
}

// A failure while waiting for a program's ready line, as a 'start' error.
export function asStartError(companion: CompanionName, error: unknown): CompanionError {
  if (error instanceof CompanionError && error.kind === 'start') return error;
  const reason = error instanceof Error ? error.message.replace(`${companion}: `, '') : String(error);
  return new CompanionError(companion, 'start', `did not start: ${reason}`);
}

export function describeExit(status: ExitStatus): string {
  if (status.startError) return status.startError.message;
  if (status.signal) return `killed by ${status.signal}`;
  return `exit status ${status.code}`;
}
