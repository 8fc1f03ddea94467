import { test } from 'node:test';
import assert from 'node:assert/strict';
import { parseCommandLine, type Parsed } from './command_line.ts';

test('the command line: options, their defaults, and one-line errors', () => {
  const run = (options: object): Parsed => ({
    kind: 'run',
    options: { port: 0, host: '127.0.0.1', dataDir: null, guests: false, roomsPerAddress: null, ...options },
  });
  const cases: [string[], Parsed][] = [
    [['--port', '0'], run({})],
    [['--port', '8080', '--guests', '--data', '/tmp/r', '--host', '0.0.0.0', '--rooms-per-address', '300'],
      run({ port: 8080, guests: true, dataDir: '/tmp/r', host: '0.0.0.0', roomsPerAddress: 300 })],
    [['--help'], { kind: 'help' }],
    [['--port', '1', '-h'], { kind: 'help' }],
    [[], { kind: 'error', message: 'roomd: --port is required (see --help)' }],
    [['--port'], { kind: 'error', message: 'roomd: --port needs a port number from 0 to 65535 (see --help)' }],
    [['--port', '70000'], { kind: 'error', message: 'roomd: --port needs a port number from 0 to 65535 (see --help)' }],
    [['--port', '-1'], { kind: 'error', message: 'roomd: --port needs a port number from 0 to 65535 (see --help)' }],
    [['--port', '0', '--data'], { kind: 'error', message: 'roomd: --data needs a folder (see --help)' }],
    [['--port', '0', '--data', '--guests'], { kind: 'error', message: 'roomd: --data needs a folder (see --help)' }],
    [['--port', '0', '--rooms-per-address', '0'], { kind: 'error', message: 'roomd: --rooms-per-address needs a whole number from 1 (see --help)' }],
    [['--port', '0', 'extra'], { kind: 'error', message: 'roomd: unknown argument "extra" (see --help)' }],
  ];
  for (const [args, expected] of cases) assert.deepEqual(parseCommandLine(args), expected, args.join(' '));
});
