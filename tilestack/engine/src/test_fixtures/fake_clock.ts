// A clock that moves only when a test says so.

import type { Clock } from '../clock.ts';

interface Timer {
  at: number;
  order: number;
  callback: () => void;
}

export class FakeClock implements Clock {
  #now = 0;
  #order = 0;
  #timers: Timer[] = [];

  now(): number {
    return this.#now;
  }

  after(delayMs: number, callback: () => void): () => void {
    const timer = { at: this.#now + Math.max(0, delayMs), order: this.#order++, callback };
    this.#timers.push(timer);
    return () => {
      this.#timers = this.#timers.filter((entry) => entry !== timer);
    };
  }

  get pendingTimers(): number {
    return this.#timers.length;
  }

  // Moves time forward, running every timer that falls due on the way, in time order.
  advance(ms: number): void {
    const end = this.#now + ms;
    for (;;) {
      const due = this.#timers.filter((timer) => timer.at <= end).sort((a, b) => a.at - b.at || a.order - b.order)[0];
      if (due === undefined) break;
      this.#timers = this.#timers.filter((timer) => timer !== due);
      this.#now = Math.max(this.#now, due.at);
      due.callback();
    }
    this.#now = end;
  }

  // Time jumps without running timers, as when the process was stalled.
  stall(ms: number): void {
    this.#now += ms;
  }
}
