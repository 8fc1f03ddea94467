// Sizes the snake's board from the screen: most of the screen at a comfortable icon size, but
// never so many cells that a round drags on or Finder has to juggle a crowd of icons.

import type { BoardRequest, DesktopMetrics } from '@tilestack/engine';

const preferredIconSize = 48;
const smallestIconSize = 32;
const largestIconSize = 128;
const iconSizeStep = 8;
const maxCells = 400;
const minCols = 10;
const minRows = 8;
// The engine leaves a quarter of an icon between neighbouring icons.
const pitchPerIconSize = 1.25;
// Part of the screen the board and its walls may use: the menu bar and the Dock take the rest.
const usableWidth = 0.9;
const usableHeight = 0.85;

function boardAt(metrics: DesktopMetrics, iconSize: number): BoardRequest {
  const pitch = iconSize * pitchPerIconSize;
  // Two cells of each direction go to the walls around the board.
  const cols = Math.max(1, Math.floor((metrics.width * usableWidth) / pitch) - 2);
  const rows = Math.max(1, Math.floor((metrics.height * usableHeight) / pitch) - 2);
  return { cols, rows, iconSize };
}

export function snakeBoard(metrics: DesktopMetrics): BoardRequest {
  let board = boardAt(metrics, preferredIconSize);
  while (board.cols * board.rows > maxCells && board.iconSize < largestIconSize) {
    board = boardAt(metrics, board.iconSize + iconSizeStep);
  }
  while ((board.cols < minCols || board.rows < minRows) && board.iconSize > smallestIconSize) {
    board = boardAt(metrics, board.iconSize - iconSizeStep);
  }
  // A screen too large even for the largest icons gets a board that is wide rather than tall.
  return { ...board, rows: Math.min(board.rows, Math.floor(maxCells / board.cols)) };
}
