// The client of Deskplay's input socket: key presses and the sound switch arrive as JSON lines
// on a loopback TCP connection. Deskplay may not be listening yet, or may drop the connection;
// the client keeps trying until it is stopped.

import net from 'node:net';

export type InputMessage = { type: 'keydown'; keyCode: number; char: string } | { type: 'set-muted'; muted: boolean };

// One line of the socket, or null for anything that is not a message this engine knows.
export function parseInputMessage(line: string): InputMessage | null {
  let value: unknown;
  try {
    value = JSON.parse(line);
  } catch {
    return null;
  }
  if (typeof value !== 'object' || value === null || Array.isArray(value)) return null;
  const fields = value as Record<string, unknown>;
  if (fields['type'] === 'keydown') {
    const keyCode = fields['keyCode'];
    const char = fields['char'];
    if (typeof keyCode !== 'number' || !Number.isInteger(keyCode) || typeof char !== 'string') return null;
    return { type: 'keydown', keyCode, char };
  }
  if (fields['type'] === 'set-muted') {
    const muted = fields['muted'];
    if (typeof muted !== 'boolean') return null;
    return { type: 'set-muted', muted };
  }
  return null;
}

export interface InputSocketOptions {
  port: number;
  onMessage: (message: InputMessage) => void;
  log: (line: string) => void;
  // The pause before a new attempt grows from the first to the longest delay.
  retryDelays?: { firstMs: number; longestMs: number };
}

// Longer lines are no message of ours; they are skipped rather than buffered without end.
const longestLine = 64 * 1024;

export class InputSocketClient {
  readonly #options: InputSocketOptions;
  readonly #firstDelay: number;
  readonly #longestDelay: number;
  #socket: net.Socket | null = null;
  #retry: NodeJS.Timeout | null = null;
  #delay: number;
  #running = false;
  #connected = false;
  #complainedSinceConnected = false;

  constructor(options: InputSocketOptions) {
    this.#options = options;
    this.#firstDelay = options.retryDelays?.firstMs ?? 100;
    this.#longestDelay = options.retryDelays?.longestMs ?? 2000;
    this.#delay = this.#firstDelay;
  }

  get connected(): boolean {
    return this.#connected;
  }

  start(): void {
    if (this.#running) return;
    this.#running = true;
    this.#connect();
  }

  stop(): void {
    this.#running = false;
    if (this.#retry !== null) clearTimeout(this.#retry);
    this.#retry = null;
    this.#socket?.destroy();
    this.#socket = null;
    this.#connected = false;
  }

  #connect(): void {
    this.#retry = null;
    const socket = net.connect({ host: '127.0.0.1', port: this.#options.port });
    this.#socket = socket;
    socket.setEncoding('utf8');
    let pending = '';
    let skippingLongLine = false;

    socket.on('connect', () => {
      this.#connected = true;
      this.#delay = this.#firstDelay;
      this.#complainedSinceConnected = false;
      this.#options.log(`input socket: connected to 127.0.0.1:${this.#options.port}`);
    });
    socket.on('data', (chunk: string) => {
      pending += chunk;
      let newline = pending.indexOf('\n');
      while (newline >= 0) {
        const line = pending.slice(0, newline);
        pending = pending.slice(newline + 1);
        if (!skippingLongLine) this.#deliver(line);
        skippingLongLine = false;
        newline = pending.indexOf('\n');
      }
      if (pending.length > longestLine) {
        pending = '';
        skippingLongLine = true;
      }
    });
    socket.on('error', (error: NodeJS.ErrnoException) => {
      if (!this.#complainedSinceConnected && this.#running) {
        this.#complainedSinceConnected = true;
        this.#options.log(`input socket: 127.0.0.1:${this.#options.port}: ${error.code ?? error.message}; trying again`);
      }
    });
    socket.on('close', () => {
      if (this.#socket !== socket) return;
      const wasConnected = this.#connected;
      this.#socket = null;
      this.#connected = false;
      if (!this.#running) return;
      if (wasConnected) this.#options.log('input socket: connection closed; reconnecting');
      this.#retry = setTimeout(() => this.#connect(), this.#delay);
      this.#delay = Math.min(this.#delay * 2, this.#longestDelay);
    });
  }

  #deliver(line: string): void {
    const message = parseInputMessage(line.endsWith('\r') ? line.slice(0, -1) : line);
    if (message !== null) this.#options.onMessage(message);
  }
}
