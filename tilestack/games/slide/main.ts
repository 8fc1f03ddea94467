import { runGame } from '@tilestack/engine';
import { slideGame } from './slide.ts';

runGame(slideGame, import.meta.dirname);
