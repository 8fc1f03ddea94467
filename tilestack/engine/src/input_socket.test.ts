import { test } from 'node:test';
import assert from 'node:assert/strict';
import net from 'node:net';
import { InputSocketClient, parseInputMessage, type InputMessage } from './input_socket.ts';
import { waitFor } from './test_fixtures/wait_for.ts';

test('lines that are not known messages are ignored', () => {
  const cases: [string, InputMessage | null][] = [
    ['{"type":"keydown","keyCode":0,"char":"a"}', { type: 'keydown', keyCode: 0, char: 'a' }],
    ['{"char":"","keyCode":123,"type":"keydown","extra":1}', { type: 'keydown', keyCode: 123, char: '' }],
    ['{"type":"set-muted","muted":true}', { type: 'set-muted', muted: true }],
    ['{"type":"keydown","keyCode":"0","char":"a"}', null],
    ['{"type":"keydown","keyCode":1.5,"char":"a"}', null],
    ['{"type":"keydown","keyCode":0}', null],
    ['{"type":"set-muted","muted":"yes"}', null],
    ['{"type":"keyup","keyCode":0,"char":"a"}', null],
    ['[1,2]', null],
    ['null', null],
    ['', null],
    ['{"type":"keydown"', null],
  ];
  for (const [line, message] of cases) assert.deepEqual(parseInputMessage(line), message, line);
});

interface Server {
  port: number;
  clients: net.Socket[];
  close(): Promise<void>;
}

async function listen(port = 0): Promise<Server> {
  const clients: net.Socket[] = [];
  const server = net.createServer((socket) => clients.push(socket));
  await new Promise<void>((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  const address = server.address();
  assert.ok(address !== null && typeof address === 'object');
  return {
    port: address.port,
    clients,
    close: () =>
      new Promise((resolve) => {
        for (const client of clients) client.destroy();
        server.close(() => resolve());
      }),
  };
}

function startClient(port: number, received: InputMessage[]): InputSocketClient {
  const client = new InputSocketClient({
    port,
    onMessage: (message) => received.push(message),
    log: () => {},
    retryDelays: { firstMs: 5, longestMs: 20 },
  });
  client.start();
  return client;
}

test('messages arrive in order, split or joined across reads, malformed lines skipped', async (t) => {
  const server = await listen();
  const received: InputMessage[] = [];
  const client = startClient(server.port, received);
  t.after(async () => {
    client.stop();
    await server.close();
  });
  await waitFor('the client to connect', () => server.clients.length === 1);
  const socket = server.clients[0];
  assert.ok(socket);

  socket.write('{"type":"keydown","keyCode":126,"char":""}\nnot json\n{"type":"set-');
  socket.write('muted","muted":true}\r\n{"type":"mystery"}\n{"type":"keydown","keyCode":0,"char":"é');
  socket.write('"}\n');
  // A line far longer than any message is dropped whole, and the next one still arrives.
  socket.write(`{"type":"keydown","keyCode":1,"char":"${'x'.repeat(200_000)}"}\n{"type":"set-muted","muted":false}\n`);

  await waitFor('four messages', () => received.length === 4);
  assert.deepEqual(received, [
    { type: 'keydown', keyCode: 126, char: '' },
    { type: 'set-muted', muted: true },
    { type: 'keydown', keyCode: 0, char: 'é' },
    { type: 'set-muted', muted: false },
  ]);
  assert.equal(client.connected, true);
});

test('a dropped connection is made again, and so is one refused at first', async (t) => {
  // Find a free port, then leave it closed so the first attempts are refused.
  const probe = await listen();
  const port = probe.port;
  await probe.close();

  const received: InputMessage[] = [];
  const client = startClient(port, received);
  t.after(() => client.stop());

  const server = await listen(port);
  t.after(() => server.close());
  await waitFor('the client to connect once the socket listens', () => server.clients.length === 1);

  server.clients[0]?.destroy();
  await waitFor('the client to reconnect', () => server.clients.length === 2);
  await waitFor('the client to see the connection', () => client.connected);
  server.clients[1]?.write('{"type":"keydown","keyCode":49,"char":" "}\n');
  await waitFor('the key on the new connection', () => received.length === 1);
  assert.deepEqual(received, [{ type: 'keydown', keyCode: 49, char: ' ' }]);

  client.stop();
  server.clients[1]?.destroy();
  assert.equal(client.connected, false);
});
