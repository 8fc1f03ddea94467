// The tile layer draws a game's drawings with files on the Desktop: it compares each drawing
// with the last one it applied, by tile key, and asks Glyphon only for the differences. It
// never holds up the game: a drawing that arrives while another is being applied waits, and
// is replaced by any newer one before its turn comes.

import fs from 'node:fs';
import path from 'node:path';
import { CompanionError, type IconController, type PositionUpdate } from '../companions/contracts.ts';
import type { Board, Drawing, Look, Tile } from '../game.ts';
import { EngineFailure, Setback, describeError } from '../failure.ts';
import type { TileWatch } from '../keeper.ts';
import { LookLibrary, lookKey } from './look_library.ts';
import { TileNames, tileNameCount } from './tile_names.ts';

export interface TileLayerOptions {
  icons: IconController;
  board: Board;
  desktop: string;
  looks: LookLibrary;
  watch: TileWatch;
  // Every problem on the way, for the engine to log or to end the session on.
  report: (problem: unknown) => void;
}

interface DesktopTile {
  key: string;
  name: string;
  path: string;
  lookKey: string;
  col: number;
  row: number;
  // Glyphon has been told where the tile is, and has not said it failed to put it there.
  placed: boolean;
  // Counts the positions sent for the tile, so a late answer about an old one is recognised.
  positionSerial: number;
  // An animated move may still be running in Glyphon.
  moving: boolean;
}

export class TileLayer {
  readonly #options: TileLayerOptions;
  readonly #names = new TileNames();
  readonly #tiles = new Map<string, DesktopTile>();
  // Names whose file Glyphon may or may not have made (it failed or went silent meanwhile).
  readonly #uncertainNames = new Set<string>();
  #pending: Drawing | null = null;
  #waiting: (() => void)[] = [];
  #applying = false;
  #idle: Promise<void> = Promise.resolve();
  #closed = false;

  constructor(options: TileLayerOptions) {
    this.#options = options;
  }

  get tileCount(): number {
    return this.#tiles.size;
  }

  // Queues a drawing; resolves once it, or a newer drawing that replaced it, has been applied.
  // Never rejects: problems go to `report`.
  show(drawing: Drawing): Promise<void> {
    if (this.#closed) return Promise.resolve();
    this.#pending = drawing;
    const applied = new Promise<void>((resolve) => this.#waiting.push(resolve));
    if (!this.#applying) {
      this.#applying = true;
      this.#idle = this.#applyPending();
    }
    return applied;
  }

  // The key of the tile whose file a click's target names (a path or a file name).
  tileAt(target: string): string | null {
    for (const tile of this.#tiles.values()) {
      if (tile.path === target || tile.name === target) return tile.key;
    }
    return null;
  }

  // Stops drawing and removes every tile file. Resolves with the problems met; an empty list
  // means the Desktop holds none of this layer's files any more.
  async removeAll(glyphonUsable: boolean): Promise<string[]> {
    this.#closed = true;
    this.#pending = null;
    await this.#idle;
    const problems: string[] = [];
    const moving = [...this.#tiles.values()].filter((tile) => tile.moving).map((tile) => tile.path);
    if (glyphonUsable && moving.length > 0) {
      await this.#options.icons.positionCancel(moving).catch((error: unknown) => this.#options.report(error));
    }
    for (const tile of [...this.#tiles.values()]) {
      const problem = this.#delete(tile);
      if (problem !== null) problems.push(problem);
    }
    for (const name of this.#uncertainNames) {
      const problem = this.#removeStray(name);
      if (problem !== null) problems.push(problem);
    }
    return problems;
  }

  async #applyPending(): Promise<void> {
    try {
      while (this.#pending !== null) {
        const drawing = this.#pending;
        const waiting = this.#waiting;
        this.#pending = null;
        this.#waiting = [];
        try {
          await this.#apply(drawing);
        } catch (error) {
          this.#options.report(error);
        }
        for (const resolve of waiting) resolve();
      }
    } finally {
      this.#applying = false;
      // Drawings dropped by removeAll still resolve.
      for (const resolve of this.#waiting.splice(0)) resolve();
    }
  }

  async #apply(drawing: Drawing): Promise<void> {
    const wanted = indexTiles(drawing);
    const motion = checkedMotion(drawing);

    const gone = [...this.#tiles.values()].filter((tile) => !wanted.has(tile.key));
    const arriving = [...wanted.values()].filter((tile) => !this.#tiles.has(tile.key));

    // A tile that goes while another of the same look arrives keeps its file and jumps to the
    // new cell: nothing flickers, and Glyphon has no file to create.
    const spares = new Map<string, DesktopTile[]>();
    for (const tile of gone) {
      const sameLook = spares.get(tile.lookKey);
      if (sameLook === undefined) spares.set(tile.lookKey, [tile]);
      else sameLook.push(tile);
    }
    const toCreate: Tile[] = [];
    for (const tile of arriving) {
      const spare = spares.get(lookKey(tile.look))?.pop();
      if (spare === undefined) {
        toCreate.push(tile);
        continue;
      }
      this.#tiles.delete(spare.key);
      spare.key = tile.key;
      spare.placed = false;
      this.#tiles.set(spare.key, spare);
    }
    const toDelete = [...spares.values()].flat();

    // Glyphon stops a whole animation step when one of its files is missing: cancel first.
    const movingAway = toDelete.filter((tile) => tile.moving).map((tile) => tile.path);
    if (movingAway.length > 0) await this.#options.icons.positionCancel(movingAway).catch((error: unknown) => this.#options.report(error));
    for (const tile of toDelete) {
      const problem = this.#delete(tile);
      if (problem !== null) this.#options.report(new Setback(problem));
    }

    await Promise.all(toCreate.map((tile) => this.#create(tile)));
    await Promise.all(
      [...wanted.values()].map((tile) => {
        const current = this.#tiles.get(tile.key);
        return current !== undefined && current.lookKey !== lookKey(tile.look) ? this.#restyle(current, tile.look) : undefined;
      }),
    );
    this.#place(wanted, motion);
  }

  // A tile that cannot be made now is left out of the layer, so the next drawing tries again.
  async #create(tile: Tile): Promise<void> {
    let template: string;
    try {
      template = await this.#options.looks.templateFor(tile.look);
    } catch (error) {
      this.#options.report(error);
      return;
    }
    const name = this.#names.take();
    if (name === null) {
      this.#options.report(new EngineFailure('game', `the game drew more tiles than the ${tileNameCount} the Desktop can name`));
      return;
    }
    const tilePath = path.join(this.#options.desktop, name);
    this.#options.watch.expecting(tilePath);
    try {
      await this.#options.icons.templateCopy(template, tilePath);
    } catch (error) {
      // A refusal made no file; other failures may have made one after all.
      if (error instanceof CompanionError && error.kind === 'refused') this.#names.release(name);
      else this.#uncertainNames.add(name);
      this.#options.report(error);
      return;
    }
    let identity: fs.BigIntStats;
    try {
      identity = fs.lstatSync(tilePath, { bigint: true });
    } catch (error) {
      this.#options.report(new Setback(`the new tile file ${JSON.stringify(tilePath)} is not there: ${describeError(error)}`));
      return;
    }
    this.#options.watch.created(tilePath, { dev: String(identity.dev), ino: String(identity.ino) });
    this.#tiles.set(tile.key, {
      key: tile.key,
      name,
      path: tilePath,
      lookKey: lookKey(tile.look),
      col: tile.col,
      row: tile.row,
      placed: false,
      positionSerial: 0,
      moving: false,
    });
  }

  async #restyle(tile: DesktopTile, look: Look): Promise<void> {
    try {
      await this.#options.icons.iconSetPath(tile.path, this.#options.looks.imageFor(look));
      tile.lookKey = lookKey(look);
    } catch (error) {
      this.#options.report(error);
    }
  }

  // All of a drawing's moves and placements go to Glyphon in one command, without waiting for
  // its answer, which only comes when every animation has ended.
  #place(wanted: Map<string, Tile>, motion: Drawing['motion']): void {
    const updates: PositionUpdate[] = [];
    const sent: [DesktopTile, number][] = [];
    for (const [key, target] of wanted) {
      const tile = this.#tiles.get(key);
      if (tile === undefined) continue;
      const moves = tile.col !== target.col || tile.row !== target.row;
      if (tile.placed && !moves) continue;
      const centre = this.#options.board.centreOf({ col: target.col, row: target.row });
      const animated = tile.placed && motion !== undefined && motion.duration > 0;
      updates.push(animated ? { path: tile.path, ...centre, duration: motion.duration, ...(motion.easing ? { easing: motion.easing } : {}) } : { path: tile.path, ...centre });
      tile.col = target.col;
      tile.row = target.row;
      tile.placed = true;
      tile.moving = animated;
      tile.positionSerial += 1;
      sent.push([tile, tile.positionSerial]);
    }
    if (updates.length === 0) return;

    const stillCurrent = ([tile, serial]: [DesktopTile, number]): boolean => this.#tiles.get(tile.key) === tile && tile.positionSerial === serial;
    this.#options.icons.position(updates).then(
      (receipts) => {
        const failed = new Set(receipts.filter((receipt) => receipt.status === 'failed').map((receipt) => receipt.path));
        for (const entry of sent.filter(stillCurrent)) {
          const [tile] = entry;
          tile.moving = false;
          if (failed.has(tile.path)) tile.placed = false;
        }
        if (failed.size > 0) this.#options.report(new Setback(`Glyphon could not place ${failed.size} tile(s); placing them again`));
      },
      (error: unknown) => {
        for (const [tile] of sent.filter(stillCurrent)) {
          tile.moving = false;
          tile.placed = false;
        }
        this.#options.report(error);
      },
    );
  }

  // Removes a tile's file; the problem as text when the file stays.
  #delete(tile: DesktopTile): string | null {
    try {
      fs.unlinkSync(tile.path);
    } catch (error) {
      if ((error as NodeJS.ErrnoException).code !== 'ENOENT') return `cannot remove the tile file ${JSON.stringify(tile.path)}: ${describeError(error)}`;
    }
    this.#tiles.delete(tile.key);
    this.#options.watch.removed(tile.path);
    this.#names.release(tile.name);
    return null;
  }

  // A file Glyphon may have made without telling us: ours when it is an empty regular file
  // under one of our names, since the Desktop was stashed empty before the session began.
  #removeStray(name: string): string | null {
    const strayPath = path.join(this.#options.desktop, name);
    try {
      const stat = fs.lstatSync(strayPath);
      if (stat.isFile() && stat.size === 0) fs.unlinkSync(strayPath);
      return null;
    } catch (error) {
      if ((error as NodeJS.ErrnoException).code === 'ENOENT') return null;
      return `cannot remove the tile file ${JSON.stringify(strayPath)}: ${describeError(error)}`;
    }
  }
}

function indexTiles(drawing: Drawing): Map<string, Tile> {
  const tiles = new Map<string, Tile>();
  for (const tile of drawing.tiles) {
    if (tiles.has(tile.key)) throw new EngineFailure('game', `the drawing has two tiles with the key ${JSON.stringify(tile.key)}`);
    if (!Number.isInteger(tile.col) || !Number.isInteger(tile.row)) {
      throw new EngineFailure('game', `the tile ${JSON.stringify(tile.key)} is drawn at column ${tile.col}, row ${tile.row}; cells are whole numbers`);
    }
    tiles.set(tile.key, tile);
  }
  return tiles;
}

function checkedMotion(drawing: Drawing): Drawing['motion'] {
  const motion = drawing.motion;
  if (motion !== undefined && !(Number.isFinite(motion.duration) && motion.duration >= 0)) {
    throw new EngineFailure('game', `the drawing's motion lasts ${motion.duration} seconds`);
  }
  return motion;
}
