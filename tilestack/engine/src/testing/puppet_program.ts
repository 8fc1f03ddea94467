// The program a Puppet runs: it relays every line it reads to the test over a Unix socket and
// writes, or ends with, whatever the test tells it to. See puppet.ts.

import { createConnection } from 'node:net';
import { createInterface } from 'node:readline';

const socketPath = process.env['PUPPET_SOCKET'];
if (!socketPath) {
  process.stderr.write('puppet_program: PUPPET_SOCKET is not set\n');
  process.exit(2);
}

const socket = createConnection(socketPath);
const send = (message: object): void => {
  socket.write(`${JSON.stringify(message)}\n`);
};

socket.on('connect', () => {
  send({ kind: 'hello', argv: process.argv.slice(2), pid: process.pid });
  const input = createInterface({ input: process.stdin });
  input.on('line', (line) => send({ kind: 'input', line }));
  input.on('close', () => send({ kind: 'end' }));
});

// Without its test the puppet has no reason to live.
socket.on('close', () => process.exit(0));
socket.on('error', () => process.exit(0));

createInterface({ input: socket }).on('line', (line) => {
  const order = JSON.parse(line) as { kind: string; line?: string; code?: number; signal?: NodeJS.Signals };
  if (order.kind === 'stdout') process.stdout.write(`${order.line}\n`);
  else if (order.kind === 'stderr') process.stderr.write(`${order.line}\n`);
  else if (order.kind === 'exit') process.exit(order.code ?? 0);
  else if (order.kind === 'trap' && order.signal) {
    const signal = order.signal;
    process.on(signal, () => send({ kind: 'signal', signal }));
    send({ kind: 'trapped', signal });
  }
});
