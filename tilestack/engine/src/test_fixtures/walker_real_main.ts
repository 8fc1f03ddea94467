// The walker game as a mouse game with the real companions, as a game's entry module is
// written: for tests against simdesk.

import { runGame } from '../run.ts';
import { walkerGame } from './walker_game.ts';

runGame(walkerGame({ mouse: true }), import.meta.dirname);
