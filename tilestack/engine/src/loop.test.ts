import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GameLoop } from './loop.ts';
import { EngineFailure } from './failure.ts';
import { layoutBoard } from './board.ts';
import type { Drawing, GameContext, GameInput } from './game.ts';
import { FakeClock } from './test_fixtures/fake_clock.ts';

const board = layoutBoard({ cols: 4, rows: 4, iconSize: 64 }, { width: 1440, height: 900, iconSize: 64 });

function key(char: string): GameInput {
  return { kind: 'key', key: null, keyCode: 0, char };
}

// A game whose state is the list of inputs it has seen; every call is journalled.
function makeLoop(options: { tickMs?: number; step?: (state: string[], inputs: readonly GameInput[]) => string[] } = {}) {
  const clock = new FakeClock();
  const journal: string[] = [];
  const shown: Drawing[] = [];
  const failures: EngineFailure[] = [];
  let loop: GameLoop<string[]> | null = null;
  const context: GameContext = {
    board,
    args: [],
    room: null,
    get tick() {
      return loop?.tick ?? 0;
    },
    random: () => 0,
    play: () => {},
    leave: () => loop?.stop(),
  };
  loop = new GameLoop<string[]>({
    definition: {
      tickMs: options.tickMs ?? 100,
      step: (state, inputs, stepContext) => {
        journal.push(`step ${stepContext.tick} at ${clock.now()}: ${inputs.map((input) => (input.kind === 'key' ? input.char : 'click')).join('')}`);
        return options.step ? options.step(state, inputs) : [...state, ...inputs.map((input) => (input.kind === 'key' ? input.char : 'click'))];
      },
      draw: (state) => {
        journal.push(`draw ${state.join('')}`);
        return { tiles: state.map((char, index) => ({ key: `${index}`, look: { fill: '#000000', text: char }, col: index, row: 0 })) };
      },
    },
    board,
    context,
    state: [],
    clock,
    show: (drawing) => {
      journal.push(`show ${drawing.tiles.length}`);
      shown.push(drawing);
    },
    fail: (failure) => failures.push(failure),
  });
  return { loop, clock, journal, shown, failures, context };
}

test('inputs between ticks reach step in arrival order, then draw, then the layer', () => {
  const { loop, clock, journal } = makeLoop();
  loop.queue(key('x')); // before the start: no game to give it to
  loop.start();
  clock.advance(99);
  assert.deepEqual(journal, []);
  clock.advance(1);
  loop.queue(key('a'));
  loop.queue({ kind: 'click', cell: null, tile: null, point: { x: 1, y: 2 }, right: false });
  loop.queue(key('b'));
  clock.advance(100);
  clock.advance(100);
  assert.deepEqual(journal, [
    'step 1 at 100: ',
    'draw ',
    'show 0',
    'step 2 at 200: aclickb',
    'draw aclickb',
    'show 3',
    'step 3 at 300: ',
    'draw aclickb',
    'show 3',
  ]);
  assert.equal(loop.state.join(''), 'aclickb');
});

test('ticks keep to their grid, and after a stall go on from now without catching up', () => {
  const { loop, clock, journal } = makeLoop({ tickMs: 100 });
  loop.start();
  clock.advance(300);
  clock.stall(450); // the process was stopped for 4.5 ticks
  clock.advance(0);
  clock.advance(100);
  const steps = journal.filter((line) => line.startsWith('step')).map((line) => line.replace(/:.*/, ''));
  assert.deepEqual(steps, ['step 1 at 100', 'step 2 at 200', 'step 3 at 300', 'step 4 at 750', 'step 5 at 850']);
});

test('a game that throws stops the loop with a game failure', () => {
  const { loop, clock, failures, journal } = makeLoop({
    step: (state, inputs) => {
      if (inputs.length > 0) throw new Error('boom');
      return state;
    },
  });
  loop.start();
  clock.advance(100);
  loop.queue(key('a'));
  clock.advance(100);
  assert.equal(failures.length, 1);
  assert.equal(failures[0]?.kind, 'game');
  assert.match(failures[0]?.message ?? '', /tick 2: boom/);
  assert.equal(clock.pendingTimers, 0);
  assert.ok(!journal.includes('show 1'));
});

test('leaving from step ends the loop without drawing again; stop cancels the timer', () => {
  const { loop, clock, journal, context } = makeLoop({
    step: (state, inputs) => {
      if (inputs.length > 0) context.leave();
      return state;
    },
  });
  loop.start();
  loop.queue(key('q'));
  clock.advance(100);
  assert.deepEqual(journal, ['step 1 at 100: q']);
  assert.equal(clock.pendingTimers, 0);

  const other = makeLoop();
  other.loop.start();
  other.loop.stop();
  assert.equal(other.clock.pendingTimers, 0);
  other.loop.queue(key('a'));
  other.clock.advance(1000);
  assert.deepEqual(other.journal, []);
});

test('a tick that is no positive number is the game’s failure', () => {
  for (const tickMs of [0, -5, Number.NaN]) {
    assert.throws(() => makeLoop({ tickMs }), (error: unknown) => error instanceof EngineFailure && error.kind === 'game');
  }
});
