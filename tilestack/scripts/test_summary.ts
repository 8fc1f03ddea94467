// Reads the closing counts of a TAP report written by node's test runner.

export interface TestSummary {
  tests: number;
  pass: number;
  fail: number;
  cancelled: number;
  skipped: number;
  todo: number;
}

const keys = ['tests', 'pass', 'fail', 'cancelled', 'skipped', 'todo'] as const;

// The summary comes last, at the top level; a test's own output can print look-alike
// comment lines earlier, so the last occurrence of each count wins. Nothing when a count
// is missing (the runner died before it finished its report).
export function parseTapSummary(report: string): TestSummary | null {
  const counts = new Map<string, number>();
  for (const line of report.split('\n')) {
    const match = /^# (\w+) (\d+)$/.exec(line.trimEnd());
    if (match) counts.set(match[1]!, Number(match[2]));
  }
  const summary: Partial<TestSummary> = {};
  for (const key of keys) {
    const count = counts.get(key);
    if (count === undefined) return null;
    summary[key] = count;
  }
  return summary as TestSummary;
}

// Whether the run showed that something was tested: at least one test ran to a verdict.
export function somethingRan(summary: TestSummary): boolean {
  return summary.pass + summary.fail > 0;
}
