import { runGame } from '@tilestack/engine';
import { cornersGame } from './corners.ts';

runGame(cornersGame, import.meta.dirname);
