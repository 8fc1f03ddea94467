import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { parseTapSummary, somethingRan, type TestSummary } from './test_summary.ts';

const closing = (counts: Partial<TestSummary>): string => {
  const full = { tests: 0, pass: 0, fail: 0, cancelled: 0, skipped: 0, todo: 0, ...counts };
  return [
    `# tests ${full.tests}`,
    '# suites 0',
    `# pass ${full.pass}`,
    `# fail ${full.fail}`,
    `# cancelled ${full.cancelled}`,
    `# skipped ${full.skipped}`,
    `# todo ${full.todo}`,
    '# duration_ms 74.4',
  ].join('\n');
};

describe('parseTapSummary', () => {
  test('reads the counts of a finished report', () => {
    const report = [
      'TAP version 13',
      '# Subtest: one',
      'ok 1 - one',
      '1..1',
      closing({ tests: 3, pass: 1, skipped: 1, todo: 1 }),
      '',
    ].join('\n');
    assert.deepEqual(parseTapSummary(report), {
      tests: 3, pass: 1, fail: 0, cancelled: 0, skipped: 1, todo: 1,
    });
  });

  test("a test's own output that looks like a count does not win over the closing counts", () => {
    const report = ['# Subtest: noisy', '# tests 99', '# pass 99', closing({ tests: 1, fail: 1 })].join('\n');
    assert.deepEqual(parseTapSummary(report), {
      tests: 1, pass: 0, fail: 1, cancelled: 0, skipped: 0, todo: 0,
    });
  });

  const unfinished: [string, string][] = [
    ['an empty report', ''],
    ['a report cut before its counts', 'TAP version 13\n# Subtest: one\nok 1 - one\n'],
    ['counts without "cancelled"', closing({ tests: 1, pass: 1 }).replace('# cancelled 0\n', '')],
  ];
  for (const [name, report] of unfinished) {
    test(`${name} gives no summary`, () => assert.equal(parseTapSummary(report), null));
  }
});

describe('somethingRan', () => {
  const cases: [string, Partial<TestSummary>, boolean][] = [
    ['no tests', {}, false],
    ['only skipped and todo tests', { tests: 2, skipped: 1, todo: 1 }, false],
    ['a passing test', { tests: 1, pass: 1 }, true],
    ['a failing test', { tests: 1, fail: 1 }, true],
  ];
  for (const [name, counts, expected] of cases) {
    test(name, () => {
      const summary = parseTapSummary(closing(counts));
      assert.ok(summary);
      assert.equal(somethingRan(summary), expected);
    });
  }
});
