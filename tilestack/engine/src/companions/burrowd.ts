// The client of Burrowd, the stash controller. Burrowd answers every request line with one
// reply line, strictly in order, so replies are matched to requests by their place in a queue.

import { CompanionError, type Identity, type StashController, type StashSide } from './contracts.ts';
import { parseIdentity, parseNames, parseReply } from './burrowd_protocol.ts';
import { isJsonObject } from './json_values.ts';
import { asStartError, describeExit, LineProcess, type ExitStatus } from './line_process.ts';

export interface BurrowdOptions {
  env: NodeJS.ProcessEnv;
  desktop: string;
  stash: string;
  // For the ready reply.
  startTimeoutMs?: number;
  // For one request, counted from when Burrowd turns to it.
  requestTimeoutMs?: number;
  // How long Burrowd may take to end at the end of its input before it is killed.
  stopTimeoutMs?: number;
}

interface Endpoint {
  side: StashSide;
  name: string;
}

type Request =
  | { action: 'list'; endpoint: Endpoint }
  | { action: 'stat'; endpoint: Endpoint }
  | { action: 'move'; from: Endpoint; to: Endpoint; identity: Identity }
  | { action: 'read' }
  | { action: 'write'; text: string };

interface Pending {
  action: string;
  resolve: (value: unknown) => void;
  reject: (error: CompanionError) => void;
  timer?: NodeJS.Timeout;
}

const defaults = { startTimeoutMs: 10_000, requestTimeoutMs: 30_000, stopTimeoutMs: 3_000 };

export class BurrowdClient implements StashController {
  // Sent and not answered, oldest first; only the oldest one's clock runs.
  private readonly queue: Pending[] = [];

  // Starts Burrowd on the two folders and reads their identities from its ready reply. Burrowd's
  // own start-up failures (a folder missing, both the same, another Burrowd holding the lock)
  // are 'start' errors with its message.
  static async start(path: string, options: BurrowdOptions): Promise<BurrowdClient> {
    const settings = {
      startTimeoutMs: options.startTimeoutMs ?? defaults.startTimeoutMs,
      requestTimeoutMs: options.requestTimeoutMs ?? defaults.requestTimeoutMs,
      stopTimeoutMs: options.stopTimeoutMs ?? defaults.stopTimeoutMs,
    };
    const process = LineProcess.spawn({ companion: 'Burrowd', path, args: [options.desktop, options.stash], env: options.env });
    try {
      const line = await process.waitForLine('stdout', () => true, settings.startTimeoutMs, 'ready reply');
      const reply = parseReply(line);
      if (reply && !reply.ok) throw new CompanionError('Burrowd', 'start', `cannot use ${options.desktop} and ${options.stash}: ${reply.error}`);
      const value = reply?.ok && isJsonObject(reply.value) ? reply.value : null;
      const desktop = parseIdentity(value?.['desktop']);
      const stash = parseIdentity(value?.['stash']);
      if (!desktop || !stash) throw new CompanionError('Burrowd', 'start', `wrote a ready reply without both identities: ${line}`);
      return new BurrowdClient(process, desktop, stash, settings);
    } catch (error) {
      // Nothing has been asked of it yet, so nothing is lost by killing it.
      await process.stop({ deadlineMs: 0 });
      throw asStartError('Burrowd', error);
    }
  }

  private constructor(
    private readonly process: LineProcess,
    readonly desktopIdentity: Identity,
    readonly stashIdentity: Identity,
    private readonly settings: typeof defaults,
  ) {
    process.onLine('stdout', (line) => this.receive(line));
    process.onExit((status) => this.failAll(status));
  }

  // The names in one folder, sorted, hidden ones (the journal among them) included.
  async list(side: StashSide): Promise<string[]> {
    const names = parseNames(await this.request({ action: 'list', endpoint: { side, name: '.' } }));
    if (!names) throw this.malformed('list', 'list of names');
    return names;
  }

  async stat(side: StashSide, name: string): Promise<Identity | null> {
    const value = await this.request({ action: 'stat', endpoint: { side, name } });
    if (value === null) return null;
    const identity = parseIdentity(value);
    if (!identity) throw this.malformed('stat', 'identity');
    return identity;
  }

  async move(from: Endpoint, to: Endpoint, identity: Identity): Promise<void> {
    const { dev, ino, birth } = identity;
    await this.request({ action: 'move', from: { side: from.side, name: from.name }, to: { side: to.side, name: to.name }, identity: { dev, ino, birth } });
  }

  // The journal's text, or null when there is none.
  async readJournal(): Promise<string | null> {
    const value = await this.request({ action: 'read' });
    if (value !== null && typeof value !== 'string') throw this.malformed('read', 'journal text');
    return value;
  }

  async writeJournal(text: string): Promise<void> {
    await this.request({ action: 'write', text });
  }

  onExit(listener: (status: ExitStatus) => void): void {
    this.process.onExit(listener);
  }

  // Closes Burrowd's input, which ends it after the requests already sent.
  async stop(): Promise<void> {
    await this.process.stop({ deadlineMs: this.settings.stopTimeoutMs });
  }

  private request(request: Request): Promise<unknown> {
    return new Promise((resolve, reject) => {
      const status = this.process.exitStatus;
      if (status || !this.process.writeLine(JSON.stringify(request))) {
        reject(this.process.error('exited', `has ended (${status ? describeExit(status) : 'its input is closed'}); ${request.action} not sent`));
        return;
      }
      this.queue.push({ action: request.action, resolve, reject });
      if (this.queue.length === 1) this.startClock();
    });
  }

  private receive(line: string): void {
    const pending = this.queue.shift();
    if (!pending) return;
    clearTimeout(pending.timer);
    this.startClock();
    const reply = parseReply(line);
    if (!reply) pending.reject(new CompanionError('Burrowd', 'refused', `${pending.action}: the reply does not decode: ${line}`));
    else if (reply.ok) pending.resolve(reply.value);
    else pending.reject(new CompanionError('Burrowd', 'refused', `${pending.action}: ${reply.error}`));
  }

  private startClock(): void {
    const head = this.queue[0];
    if (!head || head.timer) return;
    head.timer = setTimeout(() => {
      // A late reply would be taken for the next request's: Burrowd is out of step for good.
      this.queue.shift();
      head.reject(new CompanionError('Burrowd', 'timeout', `${head.action} was not answered within ${this.settings.requestTimeoutMs} ms; Burrowd is stopped`));
      this.process.kill('SIGKILL');
    }, this.settings.requestTimeoutMs);
  }

  private failAll(status: ExitStatus): void {
    for (const pending of this.queue.splice(0)) {
      clearTimeout(pending.timer);
      pending.reject(this.process.error('exited', `ended (${describeExit(status)}) before it answered ${pending.action}`));
    }
  }

  private malformed(action: string, what: string): CompanionError {
    return new CompanionError('Burrowd', 'refused', `${action}: the reply has no valid ${what}`);
  }
}
