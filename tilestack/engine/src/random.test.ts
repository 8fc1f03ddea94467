import { test } from 'node:test';
import assert from 'node:assert/strict';
import { randomSource } from './random.ts';

test('a seed replays the same numbers, all in [0, 1), spread over the range', () => {
  const first = randomSource(42);
  const again = randomSource(42);
  const other = randomSource(43);
  const numbers = Array.from({ length: 10_000 }, () => first());
  assert.deepEqual(Array.from({ length: 10_000 }, () => again()), numbers);
  assert.notDeepEqual(Array.from({ length: 10 }, () => other()), numbers.slice(0, 10));
  assert.ok(numbers.every((n) => n >= 0 && n < 1));
  const buckets = new Array<number>(10).fill(0);
  for (const n of numbers) buckets[Math.floor(n * 10)] = (buckets[Math.floor(n * 10)] ?? 0) + 1;
  assert.ok(buckets.every((count) => count > 850 && count < 1150), buckets.join(' '));
});
