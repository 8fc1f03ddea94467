// The game loop: a fixed tick. Inputs that arrive between ticks are queued and handed to the
// game's step in arrival order; then the new state is drawn and handed to the tile layer,
// which applies it in the background. Between ticks the loop only waits on a timer.

import type { Clock } from './clock.ts';
import { EngineFailure, describeError } from './failure.ts';
import type { Board, Drawing, GameContext, GameInput, GameDefinition } from './game.ts';

export interface GameLoopOptions<State> {
  definition: Pick<GameDefinition<State>, 'tickMs' | 'step' | 'draw'>;
  board: Board;
  context: GameContext;
  state: State;
  clock: Clock;
  show: (drawing: Drawing) => void;
  // A fault of the game's code; the loop has stopped.
  fail: (failure: EngineFailure) => void;
}

export class GameLoop<State> {
  readonly #options: GameLoopOptions<State>;
  #state: State;
  #inputs: GameInput[] = [];
  #tick = 0;
  #nextTickAt = 0;
  #cancelTimer: (() => void) | null = null;
  #running = false;

  constructor(options: GameLoopOptions<State>) {
    if (!(Number.isFinite(options.definition.tickMs) && options.definition.tickMs > 0)) {
      throw new EngineFailure('game', `the game ticks every ${options.definition.tickMs} ms`);
    }
    this.#options = options;
    this.#state = options.state;
  }

  get tick(): number {
    return this.#tick;
  }

  get state(): State {
    return this.#state;
  }

  queue(input: GameInput): void {
    if (this.#running) this.#inputs.push(input);
  }

  start(): void {
    if (this.#running) return;
    this.#running = true;
    this.#nextTickAt = this.#options.clock.now() + this.#options.definition.tickMs;
    this.#schedule();
  }

  stop(): void {
    this.#running = false;
    this.#cancelTimer?.();
    this.#cancelTimer = null;
    this.#inputs = [];
  }

  #schedule(): void {
    const { clock } = this.#options;
    this.#cancelTimer = clock.after(this.#nextTickAt - clock.now(), () => this.#runTick());
  }

  #runTick(): void {
    this.#cancelTimer = null;
    if (!this.#running) return;
    const { definition, board, context, clock } = this.#options;
    const inputs = this.#inputs;
    this.#inputs = [];
    this.#tick += 1;
    let drawing: Drawing | null = null;
    try {
      this.#state = definition.step(this.#state, inputs, context);
      // step may have ended the game (leave); then nothing more is drawn or scheduled.
      if (this.#running) drawing = definition.draw(this.#state, board);
    } catch (error) {
      this.stop();
      this.#options.fail(new EngineFailure('game', `the game failed at tick ${this.#tick}: ${describeError(error)}`, { cause: error }));
      return;
    }
    if (drawing === null) return;
    this.#options.show(drawing);

    // Ticks keep to their grid; after a stall (a slow step, a busy machine) the loop carries
    // on from now instead of running the missed ticks back to back.
    this.#nextTickAt += definition.tickMs;
    if (this.#nextTickAt <= clock.now()) this.#nextTickAt = clock.now() + definition.tickMs;
    this.#schedule();
  }
}
