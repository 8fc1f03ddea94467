// Running a game: the entry module of every game calls runGame with its definition and its folder.

import type { Clock } from './clock.ts';
import { systemClock } from './clock.ts';
import { programCompanions, type CompanionStarter } from './companion_starter.ts';
import { describeError } from './failure.ts';
import type { GameDefinition } from './game.ts';
import { roomCodeOf } from './game_args.ts';
import { GameLog } from './game_log.ts';
import { RoomClient, type RoomLink, type RoomRequest } from './room/room_client.ts';
import { readSession, type Session } from './session.ts';
import { SessionRun } from './session_run.ts';

// What the engine takes from the process it runs in; tests give their own.
export interface EngineHost {
  env: NodeJS.ProcessEnv;
  args: readonly string[];
  clock: Clock;
  companions(session: Session, gameFolder: string): CompanionStarter;
  // Standard error, which Deskplay sends to the game log.
  writeError(text: string): void;
  // SIGTERM and SIGINT: the user stopped the game.
  onTerminate(handler: (signal: NodeJS.Signals) => void): void;
  // An exception nothing caught.
  onCrash(handler: (error: unknown) => void): void;
  // Takes a seat in a room of the room server.
  joinRoom(request: RoomRequest): Promise<RoomLink>;
}

// The exit status when the launch itself is wrong (environment, arguments): nothing on the
// desktop was touched.
export const launchRefused = 2;

export async function runEngine<State>(definition: GameDefinition<State>, gameFolder: string, host: EngineHost): Promise<number> {
  const log = new GameLog((text) => host.writeError(text));
  const reading = readSession(host.env);
  if (!reading.ok) {
    for (const problem of reading.problems) log.line(`cannot start ${definition.id}: ${problem}`);
    return launchRefused;
  }
  let refusal: string | null;
  try {
    refusal = definition.checkArgs(host.args);
  } catch (error) {
    refusal = `the game's argument check failed: ${describeError(error)}`;
  }
  if (refusal !== null) {
    log.line(refusal);
    return launchRefused;
  }
  const session = reading.session;

  // A stop that comes before the session runs (while the room is being joined) ends the
  // launch cleanly; afterwards it winds the session down.
  let running: SessionRun<State> | null = null;
  let stopBeforeRun: (signal: NodeJS.Signals) => void = () => {};
  const stoppedBeforeRun = new Promise<NodeJS.Signals>((resolve) => (stopBeforeRun = resolve));
  host.onTerminate((signal) => (running === null ? stopBeforeRun(signal) : void running.requestEnd(`received ${signal}`)));

  // An online game takes its seat before anything on the desktop changes, so a room that
  // cannot be joined ends the launch with the server's reason.
  let room: RoomLink | null = null;
  const code = roomCodeOf(host.args);
  if (definition.online !== undefined && code !== null) {
    const joining = host.joinRoom({
      url: session.gameServerUrl,
      token: session.sessionToken,
      code,
      game: definition.id,
      players: definition.online.players,
      log: (line) => log.line(line),
    });
    let outcome: RoomLink | NodeJS.Signals;
    try {
      outcome = await Promise.race([joining, stoppedBeforeRun]);
    } catch (error) {
      log.line(`cannot join the room ${code} at ${session.gameServerUrl}: ${describeError(error)}`);
      return launchRefused;
    }
    if (typeof outcome === 'string') {
      log.line(`received ${outcome} while joining the room ${code}; ending`);
      joining.then((seat) => seat.leave(), () => {});
      return 0;
    }
    room = outcome;
    log.line(`seat ${room.seat.seat + 1} of ${room.seat.players} in the room ${code}${room.seat.host ? ', as its host' : ''}`);
  }

  const run = new SessionRun({
    definition,
    session,
    args: host.args,
    room,
    gameFolder,
    companions: host.companions(session, gameFolder),
    clock: host.clock,
    log,
  });
  running = run;
  host.onCrash((error) => run.fail(error));
  return run.run();
}

export function processHost(): EngineHost {
  return {
    env: process.env,
    args: process.argv.slice(2),
    clock: systemClock,
    companions: (_session, gameFolder) => programCompanions(process.env, gameFolder),
    writeError: (text) => process.stderr.write(text),
    onTerminate(handler) {
      for (const signal of ['SIGTERM', 'SIGINT'] as const) process.on(signal, () => handler(signal));
    },
    onCrash(handler) {
      process.on('uncaughtException', handler);
      process.on('unhandledRejection', handler);
    },
    joinRoom: (request) => RoomClient.join(request),
  };
}

// Runs the game in this process until the session ends, then exits with its status: 0 after
// a clean end, 1 after a failure, 2 when the launch was refused.
export function runGame<State>(definition: GameDefinition<State>, gameFolder: string): void {
  runEngine(definition, gameFolder, processHost()).then(
    (exitStatus) => process.exit(exitStatus),
    (error: unknown) => {
      process.stderr.write(`tilestack: ${describeError(error)}\n`);
      process.exit(1);
    },
  );
}
