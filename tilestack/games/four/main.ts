import { runGame } from '@tilestack/engine';
import { fourGame } from './four.ts';

runGame(fourGame, import.meta.dirname);
