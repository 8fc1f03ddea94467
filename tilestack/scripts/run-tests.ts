// Runs every test file of the workspace (engine, games, scripts) with node's test runner and
// ends with one closing line. Fails when no test file exists or no test ran, which the runner
// itself would report as success.

import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

import { findTestFiles } from './test_files.ts';
import { parseTapSummary, somethingRan } from './test_summary.ts';

const usage = `usage: node --import tsx scripts/run-tests.ts [FOLDER...]

Runs every *.test.ts under the given folders of the workspace, or else under engine/, games/,
rooms/ and scripts/ (installed packages excepted), two files at a time. TILESTACK_BUILD_DIR names the build whose companions and simdesk the
integration tests start (CTest sets it).
`;

const workspaceFolders = ['engine', 'games', 'rooms', 'scripts'];

async function main(args: string[]): Promise<number> {
  if (args.includes('--help') || args.includes('-h')) {
    process.stdout.write(usage);
    return 0;
  }
  const unknown = args.find((arg) => !workspaceFolders.includes(arg));
  if (unknown !== undefined) {
    process.stderr.write(`run-tests: "${unknown}" is not one of ${workspaceFolders.join(', ')} (see --help)\n`);
    return 2;
  }
  const folders = args.length > 0 ? args : workspaceFolders;
  const root = path.resolve(import.meta.dirname, '..');
  const files = findTestFiles(root, folders);
  if (files.length === 0) {
    console.error(`run-tests: FAILED: no *.test.ts file under ${folders.join(', ')} in ${root}`);
    return 1;
  }

  // The readable report goes to the terminal; the TAP copy is only read for its counts.
  const reportDir = mkdtempSync(path.join(tmpdir(), 'tilestack-tests-'));
  const tapFile = path.join(reportDir, 'report.tap');
  try {
    const runner = spawn(
      process.execPath,
      [
        '--import', 'tsx',
        '--test', '--test-concurrency=2',
        '--test-reporter=spec', '--test-reporter-destination=stdout',
        '--test-reporter=tap', `--test-reporter-destination=${tapFile}`,
        ...files,
      ],
      { cwd: root, stdio: 'inherit' },
    );
    const [code, signal] = (await once(runner, 'exit')) as [number | null, NodeJS.Signals | null];
    let report = '';
    try {
      report = readFileSync(tapFile, 'utf8');
    } catch {
      // No report at all: judged below like an unfinished one.
    }
    const summary = parseTapSummary(report);
    const counts = summary
      ? `${summary.tests} tests: ${summary.pass} passed, ${summary.fail} failed, ` +
        `${summary.cancelled} cancelled, ${summary.skipped} skipped, ${summary.todo} todo`
      : 'no summary from the test runner';
    const ranFine = code === 0 && summary !== null && summary.fail + summary.cancelled === 0;
    const verdict = !ranFine
      ? `FAILED${signal ? ` (runner ended by ${signal})` : ''}`
      : !somethingRan(summary)
        ? 'FAILED (no test ran)'
        : 'OK';
    console.log(`run-tests: ${verdict}: ${files.length} files, ${counts}`);
    return verdict === 'OK' ? 0 : 1;
  } finally {
    rmSync(reportDir, { recursive: true, force: true });
  }
}

process.exitCode = await main(process.argv.slice(2));
