// roomd's entry: reads the command line, starts the server, and runs until SIGTERM or SIGINT.

import { describeProblem } from './problem.ts';
import { parseCommandLine, usage } from './command_line.ts';
import { defaultLimits, startRoomd } from './roomd.ts';

const parsed = parseCommandLine(process.argv.slice(2));
if (parsed.kind === 'help') {
  process.stdout.write(usage);
} else if (parsed.kind === 'error') {
  process.stderr.write(`${parsed.message}\n`);
  process.exitCode = 2;
} else {
  const { options } = parsed;
  const log = (line: string): void => void process.stderr.write(`roomd: ${line}\n`);
  try {
    const roomd = await startRoomd({
      port: options.port,
      host: options.host,
      dataDir: options.dataDir,
      guests: options.guests,
      roomsPerAddress: options.roomsPerAddress ?? defaultLimits.roomsPerAddress,
      largestMessage: defaultLimits.largestMessage,
      heartbeatMs: defaultLimits.heartbeatMs,
      now: () => Date.now(),
      log,
    });
    for (const signal of ['SIGTERM', 'SIGINT'] as const) {
      process.once(signal, () => void roomd.close().then(() => process.exit(0)));
    }
    process.stdout.write(`ROOMD_READY ${roomd.port}\n`);
  } catch (error) {
    process.stderr.write(`roomd: cannot start: ${describeProblem(error)}\n`);
    process.exitCode = 1;
  }
}
