// The board on the screen: cells a pitch apart, centred below the menu bar. Points are icon
// centres in global screen coordinates (origin top left), as Glyphon takes them.

import type { DesktopMetrics, Point } from './companions/contracts.ts';
import type { Board, BoardRequest, Cell } from './game.ts';
import { EngineFailure } from './failure.ts';

export const menuBarHeight = 24;
// Finder's own limits for the icon size.
export const smallestIconSize = 16;
export const largestIconSize = 512;

// The gap between icons is a quarter of the icon size.
function pitchFor(iconSize: number): number {
  return Math.round(iconSize * 1.25);
}

// Throws an EngineFailure of kind 'board' for a request that is no board or cannot fit the screen.
export function layoutBoard(request: BoardRequest, metrics: DesktopMetrics): Board {
  const { cols, rows } = request;
  if (!Number.isInteger(cols) || !Number.isInteger(rows) || cols < 1 || rows < 1) {
    throw new EngineFailure('board', `the game asked for a board of ${cols} × ${rows} cells`);
  }
  if (!Number.isInteger(request.iconSize) || request.iconSize < smallestIconSize || request.iconSize > largestIconSize) {
    throw new EngineFailure('board', `the game asked for icon size ${request.iconSize}; Finder allows ${smallestIconSize} to ${largestIconSize}`);
  }
  const usableWidth = metrics.width;
  const usableHeight = metrics.height - menuBarHeight;

  let iconSize = request.iconSize;
  let pitch = pitchFor(iconSize);
  if (cols * pitch > usableWidth || rows * pitch > usableHeight) {
    // Shrink to the largest pitch that fits, keeping the same proportion of gap to icon.
    pitch = Math.floor(Math.min(usableWidth / cols, usableHeight / rows));
    iconSize = Math.min(iconSize, Math.floor(pitch / 1.25));
    if (iconSize < smallestIconSize) {
      throw new EngineFailure(
        'board',
        `a board of ${cols} × ${rows} cells does not fit a ${metrics.width} × ${metrics.height} screen even with the smallest icons`,
      );
    }
  }

  const left = Math.floor((usableWidth - cols * pitch) / 2);
  const top = menuBarHeight + Math.floor((usableHeight - rows * pitch) / 2);
  const half = Math.floor(pitch / 2);

  return {
    cols,
    rows,
    iconSize,
    pitch,
    metrics,
    centreOf(cell: Cell): Point {
      return { x: left + cell.col * pitch + half, y: top + cell.row * pitch + half };
    },
    cellAt(point: Point): Cell | null {
      if (!Number.isFinite(point.x) || !Number.isFinite(point.y)) return null;
      const col = Math.floor((point.x - left) / pitch);
      const row = Math.floor((point.y - top) / pitch);
      if (col < 0 || col >= cols || row < 0 || row >= rows) return null;
      return { col, row };
    },
  };
}
