// Time-outs for a program that runs its commands one at a time in arrival order (Glyphon).
//
// A command sent behind a slow one (a Finder restart waits up to ten seconds for Finder) cannot
// start before it, so its clock starts only when every command before it is known to have
// finished: the oldest unfinished command is the only one whose clock runs. An answer to a
// command proves that it and every command sent before it have finished. A command may be
// answered some time after it finished (a `position` command, once its motions end): once
// finished, it gets `trailingMs` more for its answer, counted from the moment it was known to
// have finished, plus its own budget as margin.

export interface Timers {
  setTimeout(callback: () => void, ms: number): unknown;
  clearTimeout(handle: unknown): void;
}

export const systemTimers: Timers = {
  setTimeout: (callback, ms) => setTimeout(callback, ms),
  clearTimeout: (handle) => clearTimeout(handle as NodeJS.Timeout),
};

export interface CommandTiming {
  // How long the command itself may take once the program has turned to it.
  budgetMs: number;
  // How long its answer may come after the command itself finished.
  trailingMs: number;
}

interface Entry<Key> {
  key: Key;
  timing: CommandTiming;
  timer?: unknown;
}

export class SerialDeadlines<Key> {
  // Sent and not known to have finished, oldest first; only the first one's timer runs.
  private readonly unfinished: Entry<Key>[] = [];
  // Finished and still waiting for the answer.
  private readonly trailing = new Map<Key, unknown>();

  constructor(
    private readonly timers: Timers,
    private readonly onExpired: (key: Key) => void,
  ) {}

  add(key: Key, timing: CommandTiming): void {
    this.unfinished.push({ key, timing });
    if (this.unfinished.length === 1) this.startClock();
  }

  // `key` was answered: it is done, and everything sent before it has finished.
  answered(key: Key): void {
    const index = this.unfinished.findIndex((entry) => entry.key === key);
    if (index < 0) {
      this.forgetTrailing(key);
      return;
    }
    const finished = this.unfinished.splice(0, index + 1);
    const head = finished[0];
    if (head?.timer !== undefined) this.timers.clearTimeout(head.timer);
    for (const entry of finished.slice(0, -1)) {
      const { budgetMs, trailingMs } = entry.timing;
      this.trailing.set(
        entry.key,
        this.timers.setTimeout(() => this.expireTrailing(entry.key), trailingMs + budgetMs),
      );
    }
    this.startClock();
  }

  // Forgets `key` without an answer (its caller gave up on it).
  remove(key: Key): void {
    const index = this.unfinished.findIndex((entry) => entry.key === key);
    if (index < 0) {
      this.forgetTrailing(key);
      return;
    }
    const [entry] = this.unfinished.splice(index, 1);
    if (entry?.timer !== undefined) {
      this.timers.clearTimeout(entry.timer);
      this.startClock();
    }
  }

  clear(): void {
    for (const entry of this.unfinished) {
      if (entry.timer !== undefined) this.timers.clearTimeout(entry.timer);
    }
    this.unfinished.length = 0;
    for (const timer of this.trailing.values()) this.timers.clearTimeout(timer);
    this.trailing.clear();
  }

  private startClock(): void {
    const head = this.unfinished[0];
    if (!head || head.timer !== undefined) return;
    const { budgetMs, trailingMs } = head.timing;
    head.timer = this.timers.setTimeout(() => {
      this.unfinished.shift();
      this.startClock();
      this.onExpired(head.key);
    }, budgetMs + trailingMs);
  }

  private expireTrailing(key: Key): void {
    this.trailing.delete(key);
    this.onExpired(key);
  }

  private forgetTrailing(key: Key): void {
    const timer = this.trailing.get(key);
    if (timer === undefined) return;
    this.timers.clearTimeout(timer);
    this.trailing.delete(key);
  }
}
