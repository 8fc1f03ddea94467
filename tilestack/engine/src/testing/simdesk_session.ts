// A private simulated Mac for one test: simdesk running with a temporary HOME (with a Desktop
// folder), TMPDIR and XDG_RUNTIME_DIR of its own, and simdeskctl to look at it and to act as the
// person in front of it.
//
//   const session = await SimdeskSession.start(build.programs());
//   t.after(() => session.stop());
//   const glyphon = await GlyphonClient.start(programs.glyphon, { env: session.env() });
//   await session.click(300, 200);
//   const item = await session.desktopItem('a.txt');

import { execFile, spawn, type ChildProcess } from 'node:child_process';
import { chmod, mkdir } from 'node:fs/promises';
import { join } from 'node:path';
import type { BuiltPrograms } from './build.ts';
import { makeScratchFolder, type ScratchFolder } from './scratch_folder.ts';

export interface CtlResult {
  code: number;
  stdout: string;
  stderr: string;
}

// Finder's record of one desktop item, as `simdeskctl state` shows it.
export interface DesktopItemState {
  name: string;
  path: string;
  kind: string;
  position: { x: number; y: number };
  iconFrame: { x: number; y: number; w: number; h: number };
  hasCustomIcon: boolean;
  labelIndex: number;
  comment: string;
  extensionHidden: boolean;
}

// The parts of `simdeskctl state` that tests usually look at; the rest is there too.
export interface SimdeskState {
  finder: {
    state: string;
    desktopFolder: string;
    items: DesktopItemState[];
    iconViewOptions: Record<string, unknown>;
    windows: unknown[];
  };
  screens: Array<{ frame: { x: number; y: number; w: number; h: number } }>;
  [part: string]: unknown;
}

export interface SimdeskOptions {
  // simdesk's own arguments, e.g. ['--screens', '800x600'].
  args?: string[];
  readyTimeoutMs?: number;
}

export interface KeyOptions {
  chars?: string;
  flags?: Array<'control' | 'option' | 'shift' | 'command' | 'capslock' | 'function'>;
  // Only the key's press or only its release; both by default.
  only?: 'down' | 'up';
}

export type PrivacyService = 'accessibility' | 'input-monitoring';

const stopDeadlineMs = 5000;

export class SimdeskSession {
  readonly home: string;
  readonly desktop: string;
  readonly tmp: string;
  readonly runtime: string;
  readonly socket: string;
  private readyLine = '';

  static async start(programs: BuiltPrograms, options: SimdeskOptions = {}): Promise<SimdeskSession> {
    const folder = await makeScratchFolder('tilestack-simdesk-');
    const session = new SimdeskSession(programs, folder);
    try {
      await session.launch(options);
    } catch (error) {
      await session.stop();
      throw error;
    }
    return session;
  }

  private simdesk: ChildProcess | null = null;

  private constructor(
    private readonly programs: BuiltPrograms,
    private readonly folder: ScratchFolder,
  ) {
    this.home = join(folder.path, 'home');
    this.desktop = join(this.home, 'Desktop');
    this.tmp = join(folder.path, 'tmp');
    this.runtime = join(folder.path, 'run');
    this.socket = join(this.runtime, 'simdesk.sock');
  }

  // "SIMDESK_READY <socket>".
  get ready(): string {
    return this.readyLine;
  }

  // The environment of a program of this session: companions, simdeskctl, the engine.
  env(extra: NodeJS.ProcessEnv = {}): NodeJS.ProcessEnv {
    return {
      PATH: process.env['PATH'],
      HOME: this.home,
      TMPDIR: this.tmp,
      XDG_RUNTIME_DIR: this.runtime,
      SIMDESK_SOCKET: this.socket,
      DESKPLAY_SIM_TOOLS: this.programs.simTools,
      QT_QPA_PLATFORM: 'offscreen',
      FRONDEL_LOG_FILE: join(this.tmp, 'frondel.log'),
      ...extra,
    };
  }

  // Runs simdeskctl with `args`; never throws for a non-zero exit.
  ctl(args: string[], input?: string): Promise<CtlResult> {
    return new Promise((resolve) => {
      const child = execFile(this.programs.simdeskctl, args, { env: this.env(), maxBuffer: 64 * 1024 * 1024 }, (error, stdout, stderr) => {
        const code = error ? (typeof error.code === 'number' ? error.code : -1) : 0;
        resolve({ code, stdout, stderr });
      });
      // simdeskctl reads its input only for some commands; the others may end before it is written.
      child.stdin?.on('error', () => {});
      if (input === undefined) child.stdin?.end();
      else child.stdin?.end(input);
    });
  }

  async state(): Promise<SimdeskState> {
    return JSON.parse(await this.ctlOk(['state'])) as SimdeskState;
  }

  // Finder's record of the desktop item `name`, or null.
  async desktopItem(name: string): Promise<DesktopItemState | null> {
    const state = await this.state();
    return state.finder.items.find((item) => item.name === name) ?? null;
  }

  async key(code: number, options: KeyOptions = {}): Promise<void> {
    const args = ['key', String(code)];
    if (options.chars !== undefined) args.push('--chars', options.chars);
    if (options.flags && options.flags.length > 0) args.push('--flags', options.flags.join(','));
    if (options.only) args.push(`--${options.only}`);
    await this.ctlOk(args);
  }

  async click(x: number, y: number, options: { right?: boolean; control?: boolean } = {}): Promise<void> {
    const args = ['click', String(x), String(y)];
    if (options.right) args.push('--right');
    if (options.control) args.push('--control');
    await this.ctlOk(args);
  }

  async drag(from: { x: number; y: number }, to: { x: number; y: number }, steps?: number): Promise<void> {
    const args = ['drag', String(from.x), String(from.y), String(to.x), String(to.y)];
    if (steps !== undefined) args.push('--steps', String(steps));
    await this.ctlOk(args);
  }

  async screenshot(pngPath: string): Promise<void> {
    await this.ctlOk(['screenshot', pngPath]);
  }

  async privacy(action: 'grant' | 'revoke', service: PrivacyService, application: string): Promise<void> {
    await this.ctlOk(['privacy', action, service, application]);
  }

  // Runs simdeskctl and returns its output; throws with its error output when it fails.
  async ctlOk(args: string[], input?: string): Promise<string> {
    const result = await this.ctl(args, input);
    if (result.code !== 0) {
      throw new Error(`simdeskctl ${args.join(' ')} failed (exit status ${result.code}): ${result.stderr.trim()}`);
    }
    return result.stdout;
  }

  // Ends simdesk (SIGTERM, then SIGKILL when it lingers) and removes the session's folders.
  async stop(): Promise<void> {
    const simdesk = this.simdesk;
    this.simdesk = null;
    if (simdesk && simdesk.exitCode === null && simdesk.signalCode === null) {
      const ended = new Promise((resolve) => simdesk.once('exit', resolve));
      simdesk.kill('SIGTERM');
      const timer = setTimeout(() => simdesk.kill('SIGKILL'), stopDeadlineMs);
      await ended;
      clearTimeout(timer);
    }
    await this.folder.remove();
  }

  private async launch(options: SimdeskOptions): Promise<void> {
    await mkdir(this.desktop, { recursive: true });
    await mkdir(this.tmp, { recursive: true });
    await mkdir(this.runtime, { recursive: true });
    await chmod(this.runtime, 0o700);
    const simdesk = spawn(this.programs.simdesk, options.args ?? [], { env: this.env(), stdio: ['ignore', 'pipe', 'pipe'] });
    this.simdesk = simdesk;
    let errors = '';
    simdesk.stderr?.setEncoding('utf8').on('data', (chunk: string) => {
      errors += chunk;
    });
    const timeoutMs = options.readyTimeoutMs ?? 10_000;
    this.readyLine = await new Promise<string>((resolve, reject) => {
      let output = '';
      const fail = (why: string): void => {
        clearTimeout(timer);
        reject(new Error(`simdesk ${why}${errors ? `: ${errors.trim()}` : ''}`));
      };
      const timer = setTimeout(() => fail(`did not say SIMDESK_READY within ${timeoutMs} ms`), timeoutMs);
      simdesk.once('error', (error) => fail(`could not start (${this.programs.simdesk}): ${error.message}`));
      simdesk.once('exit', (code, signal) => fail(`ended before it was ready (${signal ?? `exit status ${code}`})`));
      simdesk.stdout?.setEncoding('utf8').on('data', (chunk: string) => {
        output += chunk;
        const line = output.split('\n').slice(0, -1).find((candidate) => candidate.startsWith('SIMDESK_READY '));
        if (line !== undefined) {
          clearTimeout(timer);
          resolve(line);
        }
      });
    });
  }
}
