// The client of Keyhark, the input listener: key presses (keyboard mode) or mouse gestures
// (mouse mode) as events, the drag-capture commands of mouse mode, and the permission check.

import { CompanionError, type MouseEvent, type MouseListener } from './contracts.ts';
import { parseKeyEvent, parseMouseEvent, type KeyEvent } from './keyhark_events.ts';
import { describeExit, LineProcess, type ExitStatus } from './line_process.ts';

export type KeyharkMode = 'mouse' | 'keyboard';

export interface KeyharkOptions {
  env: NodeJS.ProcessEnv;
  mode: KeyharkMode;
  // For LISTENER_READY.
  startTimeoutMs?: number;
  // For Keyhark to confirm a capture command.
  captureTimeoutMs?: number;
  // How long Keyhark may take to end after SIGTERM before it is killed.
  stopTimeoutMs?: number;
}

// Where a captured drag may start, in global points.
export interface CaptureRect {
  x: number;
  y: number;
  width: number;
  height: number;
}

const defaults = { startTimeoutMs: 10_000, captureTimeoutMs: 5_000, stopTimeoutMs: 3_000 };

// Status lines on standard error.
const ready = 'LISTENER_READY';
const tapFailed = 'LISTENER_TAP_FAILED';
const permissionDenied = 'LISTENER_PERMISSION_DENIED';

export class KeyharkClient implements MouseListener {
  private readonly mouseListeners = new Set<(event: MouseEvent) => void>();
  private readonly keyListeners = new Set<(event: KeyEvent) => void>();

  // Starts Keyhark and waits until its event tap is installed. Missing permissions and a tap
  // that cannot be created are 'start' errors carrying Keyhark's own explanation.
  static async start(path: string, options: KeyharkOptions): Promise<KeyharkClient> {
    const settings = {
      startTimeoutMs: options.startTimeoutMs ?? defaults.startTimeoutMs,
      captureTimeoutMs: options.captureTimeoutMs ?? defaults.captureTimeoutMs,
      stopTimeoutMs: options.stopTimeoutMs ?? defaults.stopTimeoutMs,
    };
    const args = options.mode === 'mouse' ? ['--mouse-only'] : [];
    const process = LineProcess.spawn({ companion: 'Keyhark', path, args, env: options.env });
    const client = new KeyharkClient(process, options.mode, settings);
    try {
      await listening(process, options.mode, settings.startTimeoutMs);
    } catch (error) {
      await process.stop({ signal: 'SIGKILL', deadlineMs: settings.stopTimeoutMs });
      throw error;
    }
    return client;
  }

  // Keyhark's permission check ("--check"): whether it may listen to the keyboard and mouse.
  static async check(path: string, env: NodeJS.ProcessEnv, timeoutMs = defaults.startTimeoutMs): Promise<boolean> {
    const process = LineProcess.spawn({ companion: 'Keyhark', path, args: ['--check'], env });
    try {
      const answer = await process.waitForLine('stdout', () => true, timeoutMs, 'TRUSTED or UNTRUSTED');
      if (answer === 'TRUSTED' || answer === 'UNTRUSTED') return answer === 'TRUSTED';
      throw process.error('start', `answered the permission check with "${answer}"`);
    } catch (error) {
      throw error instanceof CompanionError && error.kind !== 'start'
        ? process.error('start', `permission check failed: ${error.message.replace(/^Keyhark: /, '')}`)
        : error;
    } finally {
      await process.stop({ deadlineMs: timeoutMs });
    }
  }

  private constructor(
    private readonly process: LineProcess,
    readonly mode: KeyharkMode,
    private readonly settings: typeof defaults,
  ) {
    process.onLine('stdout', (line) => this.receive(line));
  }

  onMouse(listener: (event: MouseEvent) => void): void {
    this.mouseListeners.add(listener);
  }

  onKey(listener: (event: KeyEvent) => void): void {
    this.keyListeners.add(listener);
  }

  onExit(listener: (status: ExitStatus) => void): void {
    this.process.onExit(listener);
  }

  // Swallows drags that start on Finder's desktop (within the capture rectangles) and reports
  // them as dragstart, drag and dragend. Resolves once Keyhark confirmed it; a caller that does
  // not wait for that loses nothing but the confirmation.
  captureDesktopDrags(on: boolean): Promise<void> {
    return this.command({ captureDesktopDrags: on }, `MOUSE_CAPTURE ${on ? 'on' : 'off'}`);
  }

  // Where captured drags may start; an empty list means anywhere.
  captureRects(rects: CaptureRect[]): Promise<void> {
    const list = rects.map(({ x, y, width, height }) => ({ x, y, width, height }));
    return this.command({ captureRects: list }, `MOUSE_CAPTURE rects=${list.length}`);
  }

  async stop(): Promise<void> {
    await this.process.stop({ signal: 'SIGTERM', deadlineMs: this.settings.stopTimeoutMs });
  }

  private command(command: object, confirmation: string): Promise<void> {
    if (this.mode !== 'mouse') {
      throw new Error('Keyhark takes capture commands in mouse mode only');
    }
    const confirmed = this.process.waitForLine('stderr', (line) => line === confirmation, this.settings.captureTimeoutMs, `"${confirmation}"`);
    if (!this.process.writeLine(JSON.stringify(command))) {
      const status = this.process.exitStatus;
      confirmed.catch(() => {});
      return Promise.reject(this.process.error('exited', `has ended (${status ? describeExit(status) : 'its input is closed'})`));
    }
    const done = confirmed.then(() => undefined);
    // The engine may drop the promise; a failure then must not become an unhandled rejection.
    done.catch(() => {});
    return done;
  }

  private receive(line: string): void {
    if (this.mode === 'mouse') {
      const event = parseMouseEvent(line);
      if (event) for (const listener of this.mouseListeners) listener(event);
    } else {
      const event = parseKeyEvent(line);
      if (event) for (const listener of this.keyListeners) listener(event);
    }
  }
}

// Waits for LISTENER_READY; fails with Keyhark's status lines when it reports a missing
// permission or a failed tap (collecting the lines that explain it first).
function listening(process: LineProcess, mode: KeyharkMode, timeoutMs: number): Promise<void> {
  const what = mode === 'mouse' ? 'the mouse' : 'the keyboard';
  return new Promise((resolve, reject) => {
    const explanation: string[] = [];
    let failing = false;
    let previous = '';
    const finish = (error?: CompanionError): void => {
      clearTimeout(timer);
      stopListening();
      if (error) reject(error);
      else resolve();
    };
    const refuse = (): void => finish(new CompanionError('Keyhark', 'start', `cannot listen to ${what}: ${explanation.join(' ')}`));
    const stopListening = process.onLine('stderr', (line) => {
      if (line === ready) {
        if (failing) refuse();
        else finish();
        return;
      }
      if (line === permissionDenied || line === tapFailed) failing = true;
      if (failing) explanation.push(line);
      // The tap failure's message is the last thing Keyhark says.
      if (previous === tapFailed) refuse();
      previous = line;
    });
    const timer = setTimeout(() => {
      if (failing) refuse();
      else finish(process.error('start', `did not say ${ready} within ${timeoutMs} ms`));
    }, timeoutMs);
    process.onExit((status) => {
      if (status.startError) finish(status.startError);
      else if (failing) refuse();
      else finish(process.error('start', `ended (${describeExit(status)}) before it said ${ready}`));
    });
  });
}
