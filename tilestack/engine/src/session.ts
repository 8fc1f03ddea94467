// The session's settings, as Deskplay hands them to the engine in its environment. They are read
// and checked once, before anything else happens, so a bad launch ends with one clear message.

import path from 'node:path';

export interface Session {
  // The loopback port of Deskplay's input socket.
  port: number;
  supervised: boolean;
  statusPath: string;
  sessionId: string;
  gameServerUrl: string;
  sessionToken: string | null;
  gameServerToken: string | null;
  dataDir: string;
  muted: boolean;
  home: string;
  // HOME + "/Desktop": also the exact text of the status record's "desktop".
  desktop: string;
  // Fixes the random source when set.
  seed: number | null;
}

export type SessionReading = { ok: true; session: Session } | { ok: false; problems: string[] };

export function readSession(env: NodeJS.ProcessEnv): SessionReading {
  const problems: string[] = [];
  const required = (name: string, check: (value: string) => string | null): string => {
    const value = env[name];
    if (value === undefined || value === '') {
      problems.push(`${name} is not set`);
      return '';
    }
    const problem = check(value);
    if (problem !== null) problems.push(`${name} ${problem} (got ${JSON.stringify(value)})`);
    return value;
  };
  const optional = (name: string): string | null => {
    const value = env[name];
    return value === undefined || value === '' ? null : value;
  };

  const port = required('DESKPLAY_PORT', (value) =>
    /^[0-9]{1,5}$/.test(value) && Number(value) >= 1 && Number(value) <= 65535 ? null : 'must be a port number from 1 to 65535',
  );
  const supervised = required('DESKPLAY_SUPERVISED', (value) => (value === '1' || value === '0' ? null : 'must be 1 or 0'));
  const statusPath = required('FRONDEL_SESSION_STATUS_PATH', mustBeAbsolute);
  const sessionId = required('FRONDEL_SESSION_ID', () => null);
  required('FRONDEL_SESSION_STATUS_SURFACE', (value) => (value === 'native' ? null : 'must be "native"'));
  const gameServerUrl = required('GAME_SERVER_URL', mustBeWebSocketUrl);
  const dataDir = required('DESKPLAY_DATA_DIR', mustBeAbsolute);
  const home = required('HOME', mustBeAbsolute);

  const seedText = optional('TILESTACK_SEED');
  let seed: number | null = null;
  if (seedText !== null) {
    if (/^[0-9]{1,15}$/.test(seedText)) seed = Number(seedText);
    else problems.push(`TILESTACK_SEED must be a whole number (got ${JSON.stringify(seedText)})`);
  }

  if (problems.length > 0) return { ok: false, problems };
  const cleanHome = withoutTrailingSlash(path.posix.normalize(home));
  return {
    ok: true,
    session: {
      port: Number(port),
      supervised: supervised === '1',
      statusPath,
      sessionId,
      gameServerUrl,
      sessionToken: optional('DESKPLAY_SESSION_TOKEN'),
      gameServerToken: optional('GAME_SERVER_TOKEN'),
      dataDir,
      muted: env['DESKPLAY_MUTED'] === '1',
      home: cleanHome,
      // Deskplay names the Desktop after the cleaned home path, so "/Users/a/" gives "/Users/a/Desktop".
      desktop: cleanHome === '/' ? '/Desktop' : `${cleanHome}/Desktop`,
      seed,
    },
  };
}

function mustBeAbsolute(value: string): string | null {
  return path.posix.isAbsolute(value) ? null : 'must be an absolute path';
}

// Deskplay hands over the room server's WebSocket address.
function mustBeWebSocketUrl(value: string): string | null {
  try {
    const url = new URL(value);
    return url.protocol === 'ws:' || url.protocol === 'wss:' ? null : 'must be a ws or wss URL';
  } catch {
    return 'must be a ws or wss URL';
  }
}

function withoutTrailingSlash(value: string): string {
  return value.length > 1 ? value.replace(/\/+$/, '') : value;
}
