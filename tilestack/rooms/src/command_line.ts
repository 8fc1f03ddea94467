// roomd's command line.

export const usage = `usage: roomd --port PORT [--host ADDRESS] [--data DIR] [--guests] [--rooms-per-address N]

The reference room server: the sign-in page and account calls over HTTP, and game rooms over
WebSocket, on one port. Prints "ROOMD_READY <port>" once it listens.

  --port PORT              the port to listen on; 0 picks a free one
  --host ADDRESS           the address to listen on (default 127.0.0.1)
  --data DIR               keep accounts and sessions in DIR, so they outlive a restart
                           (default: in memory only)
  --guests                 let players without an account into rooms, as guests
  --rooms-per-address N    the most rooms one network address may have open (default 10)
  --help                   show this text
`;

export interface CommandLine {
  port: number;
  host: string;
  dataDir: string | null;
  guests: boolean;
  roomsPerAddress: number | null;
}

export type Parsed = { kind: 'help' } | { kind: 'run'; options: CommandLine } | { kind: 'error'; message: string };

export function parseCommandLine(args: readonly string[]): Parsed {
  const options: CommandLine = { port: -1, host: '127.0.0.1', dataDir: null, guests: false, roomsPerAddress: null };
  for (let index = 0; index < args.length; index += 1) {
    const arg = args[index] ?? '';
    const value = (): string | null => {
      const next = args[index + 1];
      if (next === undefined || next.startsWith('--')) return null;
      index += 1;
      return next;
    };
    switch (arg) {
      case '--help':
      case '-h':
        return { kind: 'help' };
      case '--guests':
        options.guests = true;
        break;
      case '--port': {
        const text = value();
        if (text === null || !/^[0-9]{1,5}$/.test(text) || Number(text) > 65535) return error('--port needs a port number from 0 to 65535');
        options.port = Number(text);
        break;
      }
      case '--host': {
        const text = value();
        if (text === null || text === '') return error('--host needs an address');
        options.host = text;
        break;
      }
      case '--data': {
        const text = value();
        if (text === null || text === '') return error('--data needs a folder');
        options.dataDir = text;
        break;
      }
      case '--rooms-per-address': {
        const text = value();
        if (text === null || !/^[1-9][0-9]{0,5}$/.test(text)) return error('--rooms-per-address needs a whole number from 1');
        options.roomsPerAddress = Number(text);
        break;
      }
      default:
        return error(`unknown argument "${arg}"`);
    }
  }
  if (options.port < 0) return error('--port is required');
  return { kind: 'run', options };
}

function error(message: string): Parsed {
  return { kind: 'error', message: `roomd: ${message} (see --help)` };
}
