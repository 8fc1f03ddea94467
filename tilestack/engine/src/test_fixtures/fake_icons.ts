// A stand-in for Glyphon: records every call, makes the files a real one would make (empty
// tile files), keeps Finder's settings in memory, and lets a test hold a command's answer or
// make it fail.

import fs from 'node:fs';
import {
  CompanionError,
  type DesktopMetrics,
  type IconController,
  type MotionReceipt,
  type Point,
  type PositionUpdate,
} from '../companions/contracts.ts';

export type IconMethod = Exclude<keyof IconController, 'metrics'>;

export interface IconCall {
  method: IconMethod;
  args: unknown[];
}

export class FakeIcons implements IconController {
  readonly metrics: DesktopMetrics;
  readonly calls: IconCall[] = [];
  readonly finder = { iconSize: 64, gridSpacing: 54, arrangement: 'snap to grid', labelsVisible: true };
  // What position answers for each update; completed by default.
  receiptStatus: (update: PositionUpdate) => MotionReceipt['status'] = () => 'completed';
  // Called for every call; a thrown error becomes the call's rejection.
  #failures = new Map<IconMethod, (args: unknown[]) => CompanionError | null>();
  #holds = new Map<IconMethod, Promise<void>>();
  #scriptErrorListeners: ((message: string) => void)[] = [];

  constructor(metrics: DesktopMetrics = { width: 1440, height: 900, iconSize: 64 }) {
    this.metrics = metrics;
  }

  callsOf(method: IconMethod): unknown[][] {
    return this.calls.filter((call) => call.method === method).map((call) => call.args);
  }

  // Makes calls of `method` fail while `failure` gives an error for their arguments.
  failWith(method: IconMethod, failure: ((args: unknown[]) => CompanionError | null) | null): void {
    if (failure === null) this.#failures.delete(method);
    else this.#failures.set(method, failure);
  }

  // Holds the answers to `method` until the returned function is called.
  hold(method: IconMethod): () => void {
    let release = (): void => {};
    this.#holds.set(method, new Promise<void>((resolve) => (release = resolve)));
    return () => {
      this.#holds.delete(method);
      release();
    };
  }

  reportScriptError(message: string): void {
    for (const listener of this.#scriptErrorListeners) listener(message);
  }

  async #call<T>(method: IconMethod, args: unknown[], effect: () => T): Promise<T> {
    this.calls.push({ method, args });
    await this.#holds.get(method);
    const failure = this.#failures.get(method)?.(args);
    if (failure) throw failure;
    return effect();
  }

  position(updates: PositionUpdate[]): Promise<MotionReceipt[]> {
    return this.#call('position', [updates], () =>
      updates.map((update) => ({ path: update.path, generation: 1, status: this.receiptStatus(update), position: { x: update.x, y: update.y } })),
    );
  }

  positionCancel(paths: string[]): Promise<void> {
    return this.#call('positionCancel', [paths], () => {});
  }

  templateCopy(templatePath: string, path: string): Promise<void> {
    return this.#call('templateCopy', [templatePath, path], () => {
      if (!fs.existsSync(templatePath)) throw new CompanionError('Glyphon', 'refused', 'template_copy: no template');
      fs.writeFileSync(path, '', { flag: 'wx' });
    });
  }

  iconSetPath(path: string, imagePath: string): Promise<void> {
    return this.#call('iconSetPath', [path, imagePath], () => {
      if (!fs.existsSync(imagePath)) throw new CompanionError('Glyphon', 'refused', 'Icon image not found');
    });
  }

  iconSize(): Promise<number> {
    return this.#call('iconSize', [], () => this.finder.iconSize);
  }

  iconSizeSet(size: number): Promise<number> {
    return this.#call('iconSizeSet', [size], () => (this.finder.iconSize = size));
  }

  gridSpacing(): Promise<number> {
    return this.#call('gridSpacing', [], () => this.finder.gridSpacing);
  }

  gridSpacingSet(spacing: number): Promise<number> {
    return this.#call('gridSpacingSet', [spacing], () => (this.finder.gridSpacing = spacing));
  }

  gridArrangement(): Promise<string> {
    return this.#call('gridArrangement', [], () => this.finder.arrangement);
  }

  gridArrangementSet(arrangement: string): Promise<string> {
    return this.#call('gridArrangementSet', [arrangement], () => (this.finder.arrangement = arrangement));
  }

  desktopLabelsVisible(): Promise<boolean> {
    return this.#call('desktopLabelsVisible', [], () => this.finder.labelsVisible);
  }

  desktopLabelsSet(visible: boolean): Promise<boolean> {
    return this.#call('desktopLabelsSet', [visible], () => (this.finder.labelsVisible = visible));
  }

  iconPositions(): Promise<Map<string, Point>> {
    return this.#call('iconPositions', [], () => new Map());
  }

  coverSet(owner: string, rect: { x: number; y: number; w: number; h: number }, color: string): Promise<void> {
    return this.#call('coverSet', [owner, rect, color], () => {});
  }

  coverClear(owner: string): Promise<void> {
    return this.#call('coverClear', [owner], () => {});
  }

  onScriptError(listener: (message: string) => void): void {
    this.#scriptErrorListeners.push(listener);
  }

  stop(): Promise<void> {
    return this.#call('stop', [], () => {});
  }
}
