// One game session from the loading phase to the exit status: starts the companions, lays out
// the board, sets Finder up, runs the loop, and winds everything down again however the
// session ends — the user stopping it (SIGTERM), the game leaving, or a failure.

import fs from 'node:fs';
import path from 'node:path';
import type { IconController, MouseListener, SoundPlayer } from './companions/contracts.ts';
import type { CompanionStarter } from './companion_starter.ts';
import type { Clock } from './clock.ts';
import { layoutBoard } from './board.ts';
import { DesktopSettings } from './desktop_settings.ts';
import { EngineFailure, describeError, isUnrecoverable } from './failure.ts';
import type { Board, GameContext, GameInput, GameDefinition } from './game.ts';
import type { GameLog } from './game_log.ts';
import { InputSocketClient, type InputMessage } from './input_socket.ts';
import { Keeper } from './keeper.ts';
import { keyNameOf } from './keys.ts';
import { GameLoop } from './loop.ts';
import { randomSource } from './random.ts';
import type { RoomLink } from './room/room_client.ts';
import type { Session } from './session.ts';
import { SoundBoard, prepareSoundFiles } from './sound/sound_board.ts';
import { StatusRecordWriter, type SessionPhase } from './status_record.ts';
import { LookLibrary } from './tiles/look_library.ts';
import { TileLayer } from './tiles/tile_layer.ts';

export interface SessionRunOptions<State> {
  definition: GameDefinition<State>;
  session: Session;
  args: readonly string[];
  // The seat of an online game, taken before the session started.
  room: RoomLink | null;
  gameFolder: string;
  companions: CompanionStarter;
  clock: Clock;
  log: GameLog;
}

// Thrown inside the start-up when the session began winding down meanwhile.
class WindingDown extends Error {}

export class SessionRun<State> {
  readonly #options: SessionRunOptions<State>;
  readonly #status: StatusRecordWriter;
  readonly #cacheFolder: string;
  #keeper: Keeper | null = null;
  #input: InputSocketClient | null = null;
  #icons: IconController | null = null;
  #sounds: SoundPlayer | null = null;
  #mouse: MouseListener | null = null;
  #settings: DesktopSettings | null = null;
  #layer: TileLayer | null = null;
  #loop: GameLoop<State> | null = null;
  #soundBoard: SoundBoard | null = null;
  #muted: boolean;
  #glyphonGone = false;
  #stoppingCompanions = false;
  #starting: Promise<void> = Promise.resolve();
  #windingDown: Promise<number> | null = null;
  readonly #ended: Promise<number>;
  #reportEnd: (exitStatus: number) => void = () => {};
  #failed = false;

  constructor(options: SessionRunOptions<State>) {
    this.#options = options;
    const { session } = options;
    this.#status = new StatusRecordWriter(session.statusPath, session.sessionId, session.desktop);
    this.#cacheFolder = path.join(session.home, 'Library', 'Caches', 'tilestack', session.sessionId.replace(/[^A-Za-z0-9._-]/g, '_'));
    this.#muted = session.muted;
    this.#ended = new Promise((resolve) => (this.#reportEnd = resolve));
  }

  // Plays the session to its end; resolves with the exit status.
  run(): Promise<number> {
    // Started on the next microtask, so that a wind-down always finds the start-up to wait for.
    this.#starting = Promise.resolve()
      .then(() => this.#start())
      .catch((error: unknown) => {
        if (!(error instanceof WindingDown)) this.fail(error);
      });
    return this.#ended;
  }

  // The user or Deskplay asked the game to stop: a clean end. Asking again changes nothing.
  requestEnd(reason: string): Promise<number> {
    if (this.#windingDown !== null) {
      this.#options.log.line(`${reason}; already winding down`);
      return this.#windingDown;
    }
    this.#options.log.line(`${reason}; winding down`);
    return this.#windDown();
  }

  // A problem on the way: an unrecoverable one ends the session unclean, others are logged.
  fail(problem: unknown): void {
    if (!isUnrecoverable(problem)) {
      this.#options.log.line(describeError(problem));
      return;
    }
    this.#failed = true;
    this.#options.log.line(`failed: ${describeError(problem)}`);
    if (problem instanceof EngineFailure && problem.cause instanceof Error && problem.cause.stack) {
      this.#options.log.line(problem.cause.stack);
    } else if (!(problem instanceof EngineFailure) && problem instanceof Error && problem.stack) {
      this.#options.log.line(problem.stack);
    }
    if (this.#windingDown === null) void this.#windDown();
  }

  #setPhase(phase: SessionPhase): void {
    this.#status.write(phase);
    this.#options.log.line(`session ${phase}`);
  }

  #continueStarting(): void {
    if (this.#windingDown !== null) throw new WindingDown();
  }

  async #start(): Promise<void> {
    const { definition, session, companions, log } = this.#options;
    this.#setPhase('loading');

    fs.mkdirSync(this.#cacheFolder, { recursive: true, mode: 0o700 });
    this.#keeper = Keeper.start(this.#cacheFolder);

    this.#input = new InputSocketClient({ port: session.port, onMessage: (message) => this.#receive(message), log: (line) => log.line(line) });
    this.#input.start();

    const [icons, sounds, mouse] = await Promise.allSettled([
      companions.icons((error) => {
        this.#glyphonGone = true;
        this.#companionGone(error);
      }),
      companions.sounds((error) => this.#companionGone(error)),
      definition.mouse ? companions.mouse((error) => this.#companionGone(error)) : Promise.resolve(null),
    ]);
    // Kept before anything is checked, so the wind-down stops whatever did start.
    if (icons.status === 'fulfilled') this.#icons = icons.value;
    if (sounds.status === 'fulfilled') this.#sounds = sounds.value;
    if (mouse.status === 'fulfilled') this.#mouse = mouse.value;
    for (const outcome of [icons, sounds, mouse]) if (outcome.status === 'rejected') throw outcome.reason;
    this.#continueStarting();
    const iconController = this.#icons;
    const soundPlayer = this.#sounds;
    if (iconController === null || soundPlayer === null) throw new EngineFailure('companion', 'a companion program is missing');
    iconController.onScriptError((message) => log.line(`Glyphon: ${message}`));

    const metrics = iconController.metrics;
    const board = layoutBoard(callGame('layout', () => definition.layout(metrics)), metrics);
    log.line(`board ${board.cols} × ${board.rows}, icons ${board.iconSize}, pitch ${board.pitch}, screen ${metrics.width} × ${metrics.height}`);

    this.#settings = new DesktopSettings(iconController, (line) => log.line(line));
    await this.#settings.apply(board.iconSize);
    this.#continueStarting();

    this.#soundBoard = new SoundBoard(soundPlayer, prepareSoundFiles(definition.sounds, this.#options.gameFolder, this.#cacheFolder), this.#muted, (line) => log.line(line));

    const layer = new TileLayer({
      icons: iconController,
      board,
      desktop: session.desktop,
      looks: new LookLibrary(iconController, this.#cacheFolder, board.iconSize),
      watch: this.#keeper,
      report: (problem) => this.fail(problem),
    });
    this.#layer = layer;

    const context = this.#context(board);
    const state = callGame('start', () => definition.start(context));
    await layer.show(callGame('draw', () => definition.draw(state, board)));
    this.#continueStarting();

    const loop = new GameLoop<State>({
      definition,
      board,
      context,
      state,
      clock: this.#options.clock,
      show: (drawing) => void layer.show(drawing),
      fail: (failure) => this.fail(failure),
    });
    this.#loop = loop;
    if (this.#mouse !== null) this.#listenToMouse(this.#mouse, board, layer, loop);
    this.#setPhase('ready');
    loop.start();
    // After the start: the loop takes inputs only while it runs, and the room hands over at
    // once what happened while the session was starting.
    this.#options.room?.onEvent((event) => loop.queue({ kind: 'room', event }));
  }

  #context(board: Board): GameContext {
    const random = randomSource(this.#options.session.seed);
    const { room } = this.#options;
    const run = this;
    return {
      board,
      args: this.#options.args,
      room: room === null ? null : { seat: room.seat, send: (data) => room.send(data) },
      get tick() {
        return run.#loop?.tick ?? 0;
      },
      random,
      play: (sound) => this.#soundBoard?.play(sound),
      leave: () => {
        this.#loop?.stop();
        void this.requestEnd('the game is over');
      },
    };
  }

  #receive(message: InputMessage): void {
    if (message.type === 'keydown') {
      this.#loop?.queue({ kind: 'key', key: keyNameOf(message.keyCode), keyCode: message.keyCode, char: message.char });
      return;
    }
    this.#muted = message.muted;
    this.#soundBoard?.setMuted(message.muted);
  }

  // Clicks and right clicks become inputs naming the cell and the tile under the pointer; the
  // drags Keyhark captures keep the user from dragging tiles away in Finder.
  #listenToMouse(mouse: MouseListener, board: Board, layer: TileLayer, loop: GameLoop<State>): void {
    mouse.onMouse((event) => {
      if (event.type !== 'click' && event.type !== 'rightclick') return;
      const point = { x: event.x, y: event.y };
      const input: GameInput = {
        kind: 'click',
        cell: board.cellAt(point),
        tile: event.target === undefined ? null : layer.tileAt(event.target),
        point,
        right: event.type === 'rightclick',
      };
      loop.queue(input);
    });
    // Keyhark's client confirms capture asynchronously; a refusal costs only the capture.
    mouse.captureDesktopDrags(true).catch((error: unknown) => this.#options.log.line(`drag capture: ${describeError(error)}`));
  }

  #companionGone(error: unknown): void {
    if (!this.#stoppingCompanions) this.fail(error);
  }

  #windDown(): Promise<number> {
    this.#windingDown = this.#cleanUp();
    void this.#windingDown.then(this.#reportEnd);
    return this.#windingDown;
  }

  async #cleanUp(): Promise<number> {
    const { log } = this.#options;
    const problems: string[] = [];
    const attempt = (what: string, action: () => void): void => {
      try {
        action();
      } catch (error) {
        problems.push(`${what}: ${describeError(error)}`);
      }
    };

    attempt('restoring phase', () => this.#setPhase('restoring'));
    this.#loop?.stop();
    this.#input?.stop();
    const leavingRoom = this.#options.room?.leave();
    await this.#starting;

    const glyphonUsable = this.#icons !== null && !this.#glyphonGone;
    if (this.#layer !== null) problems.push(...(await this.#layer.removeAll(glyphonUsable)));
    const tilesRemoved = problems.length === 0;
    if (this.#settings !== null) {
      if (glyphonUsable) problems.push(...(await this.#settings.restore()));
      else problems.push("cannot put Finder's settings back: Glyphon is gone");
    }

    this.#stoppingCompanions = true;
    const stops = [this.#icons, this.#sounds, this.#mouse].flatMap((companion) => (companion === null ? [] : [companion.stop()]));
    for (const outcome of await Promise.allSettled(stops)) {
      if (outcome.status === 'rejected') log.line(`stopping a companion: ${describeError(outcome.reason)}`);
    }

    await leavingRoom;
    attempt('removing the cache folder', () => fs.rmSync(this.#cacheFolder, { recursive: true, force: true }));
    // With tiles left behind, the keeper tries again once the engine is gone.
    if (tilesRemoved) this.#keeper?.done();

    for (const problem of problems) log.line(problem);
    const clean = !this.#failed && problems.length === 0;
    let exitStatus = clean ? 0 : 1;
    try {
      this.#setPhase(clean ? 'child-complete' : 'failed');
    } catch (error) {
      log.line(describeError(error));
      exitStatus = 1;
    }
    log.flush();
    return exitStatus;
  }
}

// Calls into the game's code, turning what it throws into the game's failure.
function callGame<T>(what: string, call: () => T): T {
  try {
    return call();
  } catch (error) {
    throw new EngineFailure('game', `the game's ${what} failed: ${describeError(error)}`, { cause: error });
  }
}
