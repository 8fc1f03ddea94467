import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { SerialDeadlines, type Timers } from './serial_deadlines.ts';

// Timers on a clock that moves only when the test says so.
class FakeTimers implements Timers {
  now = 0;
  private readonly pending = new Map<number, { at: number; callback: () => void }>();
  private nextHandle = 1;

  setTimeout(callback: () => void, ms: number): unknown {
    const handle = this.nextHandle++;
    this.pending.set(handle, { at: this.now + ms, callback });
    return handle;
  }

  clearTimeout(handle: unknown): void {
    this.pending.delete(handle as number);
  }

  advance(ms: number): void {
    const until = this.now + ms;
    for (;;) {
      const due = [...this.pending.entries()].filter(([, timer]) => timer.at <= until).sort(([, a], [, b]) => a.at - b.at)[0];
      if (!due) break;
      this.pending.delete(due[0]);
      this.now = due[1].at;
      due[1].callback();
    }
    this.now = until;
  }
}

function setUp(): { timers: FakeTimers; deadlines: SerialDeadlines<string>; expired: Array<[string, number]> } {
  const timers = new FakeTimers();
  const expired: Array<[string, number]> = [];
  const deadlines = new SerialDeadlines<string>(timers, (key) => expired.push([key, timers.now]));
  return { timers, deadlines, expired };
}

const quick = { budgetMs: 10_000, trailingMs: 0 };

describe('SerialDeadlines', () => {
  test('a command expires after its budget unless answered', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('1', quick);
    deadlines.add('2', quick);
    timers.advance(5_000);
    deadlines.answered('1');
    timers.advance(30_000);
    assert.deepEqual(expired, [['2', 15_000]], 'the second clock started when the first was answered');
  });

  test('a command queued behind a slow one waits for it before its own clock starts', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('restart', { budgetMs: 40_000, trailingMs: 0 });
    deadlines.add('size', quick);
    timers.advance(35_000);
    assert.deepEqual(expired, []);
    deadlines.answered('restart');
    timers.advance(9_000);
    assert.deepEqual(expired, []);
    timers.advance(2_000);
    assert.deepEqual(expired, [['size', 45_000]]);
  });

  test('an expired command starts the next one’s clock', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('a', quick);
    deadlines.add('b', quick);
    timers.advance(25_000);
    assert.deepEqual(expired, [['a', 10_000], ['b', 20_000]]);
  });

  test('a finished command answered later gets its trailing time from when it was known to be finished', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('position', { budgetMs: 10_000, trailingMs: 3_000 });
    deadlines.add('size', quick);
    timers.advance(1_000);
    deadlines.answered('size');
    timers.advance(12_900);
    assert.deepEqual(expired, []);
    timers.advance(200);
    assert.deepEqual(expired, [['position', 14_000]]);
  });

  test('an answer to a finished command clears its trailing clock', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('position', { budgetMs: 10_000, trailingMs: 3_000 });
    deadlines.add('size', quick);
    deadlines.answered('size');
    deadlines.answered('position');
    timers.advance(60_000);
    assert.deepEqual(expired, []);
  });

  test('commands sent every tick, each answered after the next is sent, keep a bounded deadline', () => {
    const { timers, deadlines, expired } = setUp();
    const timing = { budgetMs: 10_000, trailingMs: 100 };
    deadlines.add('p0', timing);
    for (let tick = 1; tick <= 100; tick += 1) {
      timers.advance(100);
      deadlines.add(`p${tick}`, timing);
      timers.advance(50);
      deadlines.answered(`p${tick - 1}`);
    }
    const lastAnsweredAt = timers.now;
    timers.advance(60_000);
    assert.deepEqual(expired, [['p100', lastAnsweredAt + 10_100]]);
  });

  test('removing the oldest command starts the next clock; clear stops every clock', () => {
    const { timers, deadlines, expired } = setUp();
    deadlines.add('a', quick);
    deadlines.add('b', quick);
    timers.advance(4_000);
    deadlines.remove('a');
    timers.advance(12_000);
    assert.deepEqual(expired, [['b', 14_000]]);

    deadlines.add('c', { budgetMs: 1_000, trailingMs: 500 });
    deadlines.add('d', quick);
    deadlines.answered('d');
    deadlines.add('e', quick);
    deadlines.clear();
    timers.advance(60_000);
    assert.deepEqual(expired, [['b', 14_000]]);
  });
});
