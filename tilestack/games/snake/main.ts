import { runGame } from '@tilestack/engine';
import { snakeGame } from './snake.ts';

runGame(snakeGame, import.meta.dirname);
