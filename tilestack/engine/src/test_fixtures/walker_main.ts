// The walker game as its own process, as Deskplay runs a game, but with fake companions: for
// tests of signals, exit statuses and the keeper.

import { processHost, runEngine } from '../run.ts';
import { fakeCompanions } from './fake_companions.ts';
import { walkerGame } from './walker_game.ts';

const companions = fakeCompanions();
runEngine(walkerGame(), import.meta.dirname, { ...processHost(), companions: () => companions.starter }).then((exitStatus) => process.exit(exitStatus));
