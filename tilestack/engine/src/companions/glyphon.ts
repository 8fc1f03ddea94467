// The client of Glyphon, the icon controller: one typed method per command, answers matched to
// their commands by id, and time-outs that follow Glyphon's one-command-at-a-time execution.

import { CompanionError, type DesktopMetrics, type IconController, type MotionReceipt, type Point, type PositionUpdate } from './contracts.ts';
import {
  arrangementName,
  parseGlyphonLine,
  parsePointText,
  parseReceipts,
  toWireUpdate,
  type CommandResult,
  type GlyphonCommand,
  type IconAnswer,
  type MotionWrite,
} from './glyphon_protocol.ts';
import { parseIconPositions } from './icon_positions.ts';
import { asStartError, describeExit, LineProcess, type ExitStatus } from './line_process.ts';
import { SerialDeadlines, systemTimers, type CommandTiming } from './serial_deadlines.ts';

export interface GlyphonOptions {
  env: NodeJS.ProcessEnv;
  // For READY and METRICS.
  startTimeoutMs?: number;
  // For one command, counted from when Glyphon turns to it (see SerialDeadlines).
  commandTimeoutMs?: number;
  // For `restart_finder`, which waits up to ten seconds for Finder and then sets it up.
  restartFinderTimeoutMs?: number;
  // How long Glyphon may take to end after "EXIT" before it is killed.
  stopTimeoutMs?: number;
}

export type SessionPhase = 'loading' | 'restoring' | 'failed' | 'clear';

export interface Rect {
  x: number;
  y: number;
  w: number;
  h: number;
}

export interface FinderRestartSettings {
  gridSpacing?: number;
  iconSize?: number;
  textSize?: number;
  gridArrangement?: string;
  // "bottom" or "right".
  labelPosition?: string;
}

export interface IconImage {
  hasCustomIcon: boolean;
  // The custom icon as PNG, when Glyphon could render it.
  png: Buffer | null;
}

// Where `synthDrag` presses: a point, a file's icon, or a point checked against a file's icon.
export type DragTarget = { point: Point; path?: string } | { path: string };

interface Pending {
  type: string;
  resolve: (result: CommandResult) => void;
  reject: (error: CompanionError) => void;
}

type Settings = Required<Omit<GlyphonOptions, 'env'>>;

const defaults = {
  startTimeoutMs: 15_000,
  commandTimeoutMs: 10_000,
  restartFinderTimeoutMs: 40_000,
  stopTimeoutMs: 3_000,
};
// One animation step of Glyphon's timer, so that a motion's last write is allowed for.
const motionStepMs = 50;

export class GlyphonClient implements IconController {
  private readonly pending = new Map<string, Pending>();
  private readonly deadlines: SerialDeadlines<string>;
  private readonly scriptErrorListeners = new Set<(message: string) => void>();
  private readonly motionListeners = new Set<(writes: MotionWrite[]) => void>();
  private nextId = 1;

  // Starts Glyphon and waits for its READY and METRICS lines.
  static async start(path: string, options: GlyphonOptions): Promise<GlyphonClient> {
    const settings: Settings = {
      startTimeoutMs: options.startTimeoutMs ?? defaults.startTimeoutMs,
      commandTimeoutMs: options.commandTimeoutMs ?? defaults.commandTimeoutMs,
      restartFinderTimeoutMs: options.restartFinderTimeoutMs ?? defaults.restartFinderTimeoutMs,
      stopTimeoutMs: options.stopTimeoutMs ?? defaults.stopTimeoutMs,
    };
    const process = LineProcess.spawn({ companion: 'Glyphon', path, env: options.env });
    // Listened for from the start, since it comes right after READY.
    const metricsLine = process.waitForLine('stdout', (line) => line.startsWith('METRICS:'), settings.startTimeoutMs, 'METRICS line');
    metricsLine.catch(() => {});
    try {
      await process.waitForLine('stdout', (line) => line === 'READY', settings.startTimeoutMs, 'READY line');
      const parsed = parseGlyphonLine(await metricsLine);
      if (parsed.kind !== 'metrics') {
        throw process.error('start', `wrote a METRICS line that does not decode: ${await metricsLine}`);
      }
      return new GlyphonClient(process, parsed.metrics, settings);
    } catch (error) {
      await process.stop({ deadlineMs: 0 });
      throw asStartError('Glyphon', error);
    }
  }

  private constructor(
    private readonly process: LineProcess,
    readonly metrics: DesktopMetrics,
    private readonly settings: Settings,
  ) {
    this.deadlines = new SerialDeadlines(systemTimers, (id) => this.expire(id));
    process.onLine('stdout', (line) => this.receive(line));
    process.onExit((status) => this.failAll(status));
  }

  // --- the engine's interface ---

  // Resolves with one receipt per update once every motion has ended, whatever its status.
  async position(updates: PositionUpdate[]): Promise<MotionReceipt[]> {
    // A duration Glyphon will refuse adds nothing to the wait.
    const longest = Math.max(0, ...updates.map(({ duration }) => (duration !== undefined && Number.isFinite(duration) ? duration : 0)));
    const result = await this.request(
      { type: 'position', updates: updates.map(toWireUpdate) },
      { budgetMs: this.settings.commandTimeoutMs, trailingMs: longest * 1000 + 2 * motionStepMs },
    );
    const receipts = result.data === undefined ? null : parseReceipts(result.data);
    if (!receipts) throw this.malformed('position', 'motion receipts');
    return receipts;
  }

  async positionCancel(paths: string[]): Promise<void> {
    await this.request({ type: 'position_cancel', paths });
  }

  async templateCopy(templatePath: string, path: string): Promise<void> {
    await this.request({ type: 'template_copy', iconPath: templatePath, path });
  }

  async iconSetPath(path: string, imagePath: string): Promise<void> {
    await this.request({ type: 'icon_set_path', path, iconPath: imagePath });
  }

  async iconSize(): Promise<number> {
    return this.number(await this.request({ type: 'icon_size' }), 'icon_size', 'iconSize');
  }

  // Resolves with the size Finder reports afterwards, which may differ from `size`.
  async iconSizeSet(size: number): Promise<number> {
    return this.number(await this.request({ type: 'icon_size_set', value: String(size) }), 'icon_size_set', 'iconSize');
  }

  async gridSpacing(): Promise<number> {
    return this.number(await this.request({ type: 'grid_spacing' }), 'grid_spacing', 'gridSpacing');
  }

  async gridSpacingSet(spacing: number): Promise<number> {
    return this.number(await this.request({ type: 'grid_spacing_set', value: String(spacing) }), 'grid_spacing_set', 'gridSpacing');
  }

  // The arrangement by a name that `gridArrangementSet` takes back: "not arranged",
  // "snap to grid", "name", "kind", "date modified" (or Finder's own text for others).
  async gridArrangement(): Promise<string> {
    const result = await this.request({ type: 'grid_arrangement_get' });
    if (result.gridArrangement === undefined) throw this.malformed('grid_arrangement_get', 'arrangement');
    return arrangementName(result.gridArrangement);
  }

  async gridArrangementSet(arrangement: string): Promise<string> {
    const result = await this.request({ type: 'grid_arrangement_set', value: arrangement });
    if (result.gridArrangement === undefined) throw this.malformed('grid_arrangement_set', 'arrangement');
    return result.gridArrangement;
  }

  async desktopLabelsVisible(): Promise<boolean> {
    return this.labels(await this.request({ type: 'desktop_labels', value: 'status' }), 'desktop_labels');
  }

  async desktopLabelsSet(visible: boolean): Promise<boolean> {
    return this.labels(await this.request({ type: 'desktop_labels', value: String(visible) }), 'desktop_labels');
  }

  // The desktop's icons: file name → centre of the icon.
  async iconPositions(): Promise<Map<string, Point>> {
    const result = await this.request({ type: 'icon_positions_get' });
    if (result.data === undefined) throw this.malformed('icon_positions_get', 'position text');
    return parseIconPositions(result.data);
  }

  // Owners "stage" and "feedback" are Glyphon's two named covers; any other owner is one of
  // the parking covers.
  async coverSet(owner: string, rect: Rect, color: string): Promise<void> {
    const cover = { ...rect, color };
    if (owner === 'stage') await this.request({ type: 'cover_set', ...cover });
    else if (owner === 'feedback') await this.request({ type: 'feedback_cover_set', ...cover });
    else await this.request({ type: 'park_cover_set', owner, ...cover });
  }

  async coverClear(owner: string): Promise<void> {
    if (owner === 'stage') await this.request({ type: 'cover_clear' });
    else if (owner === 'feedback') await this.request({ type: 'feedback_cover_clear' });
    else await this.request({ type: 'park_cover_clear', owner });
  }

  // FINDER_SCRIPT_ERROR and COCOA_EXTENSION_ERROR lines, for the game log.
  onScriptError(listener: (message: string) => void): void {
    this.scriptErrorListeners.add(listener);
  }

  async stop(): Promise<void> {
    await this.process.stop({ word: 'EXIT', deadlineMs: this.settings.stopTimeoutMs });
  }

  // --- the rest of Glyphon's commands ---

  // Every batch of icon positions that Glyphon wrote to Finder.
  onMotion(listener: (writes: MotionWrite[]) => void): void {
    this.motionListeners.add(listener);
  }

  // Called once Glyphon has ended, with every pending command already failed.
  onExit(listener: (status: ExitStatus) => void): void {
    this.process.onExit(listener);
  }

  async sessionStatus(phase: SessionPhase): Promise<void> {
    await this.request({ type: 'session_status', value: phase });
  }

  // Hides (or shows) the Dock and the menu bar.
  async uiSetup(hidden: boolean): Promise<void> {
    await this.request({ type: 'ui_setup', value: String(hidden) });
  }

  // Finder's colour label (0 none, 1 to 7); never answered.
  color(path: string, labelIndex: number): void {
    this.send({ type: 'color', path, value: String(labelIndex) });
  }

  // Finder's comment of a file; never answered.
  comment(path: string, text: string): void {
    this.send({ type: 'comment', path, value: text });
  }

  // Never answered; a failure shows as a script error line.
  extensionHidden(path: string, hidden: boolean): void {
    this.send({ type: 'extension_hidden', path, value: String(hidden) });
  }

  // Runs an AppleScript; resolves with its result's text, or null when it has none.
  async batch(script: string): Promise<string | null> {
    const result = await this.request({ type: 'batch', script });
    return result.data ?? null;
  }

  async iconGet(path: string): Promise<IconImage> {
    const result = await this.request({ type: 'icon_get', path });
    if (result.hasCustomIcon === undefined) throw this.malformed('icon_get', 'custom icon flag');
    const png = result.data === undefined ? null : Buffer.from(result.data, 'base64');
    return { hasCustomIcon: result.hasCustomIcon, png };
  }

  async iconSetData(path: string, image: Uint8Array): Promise<void> {
    await this.request({ type: 'icon_set_data', path, iconData: Buffer.from(image).toString('base64') });
  }

  async iconClear(path: string): Promise<void> {
    await this.request({ type: 'icon_clear', path });
  }

  // The desktop picture's path.
  async backgroundGet(): Promise<string> {
    const result = await this.request({ type: 'background_get' });
    if (result.data === undefined) throw this.malformed('background_get', 'picture path');
    return result.data;
  }

  async backgroundSetPath(path: string): Promise<void> {
    await this.request({ type: 'background_set_path', path });
  }

  // Writes Finder's desktop settings and restarts Finder so that they take effect.
  async restartFinder(settings: FinderRestartSettings): Promise<void> {
    await this.request({ type: 'restart_finder', ...settings }, { budgetMs: this.settings.restartFinderTimeoutMs, trailingMs: 0 });
  }

  // A short synthetic drag; resolves with the point pressed.
  async synthDrag(target: DragTarget): Promise<Point> {
    const command: GlyphonCommand = { type: 'synth_drag', path: target.path };
    if ('point' in target) Object.assign(command, target.point);
    const result = await this.request(command);
    const point = result.data === undefined ? null : parsePointText(result.data);
    if (!point) throw this.malformed('synth_drag', 'point');
    return point;
  }

  // --- protocol ---

  private request(command: GlyphonCommand, timing?: CommandTiming): Promise<CommandResult> {
    const id = String(this.nextId++);
    return new Promise((resolve, reject) => {
      const ended = this.process.exitStatus;
      if (ended || !this.process.writeLine(JSON.stringify({ ...command, id }))) {
        reject(this.process.error('exited', `has ended (${ended ? describeExit(ended) : 'its input is closed'}); ${command.type} not sent`));
        return;
      }
      this.pending.set(id, { type: command.type, resolve, reject });
      this.deadlines.add(id, timing ?? { budgetMs: this.settings.commandTimeoutMs, trailingMs: 0 });
    });
  }

  private send(command: GlyphonCommand): void {
    this.process.writeLine(JSON.stringify(command));
  }

  private receive(line: string): void {
    const parsed = parseGlyphonLine(line);
    switch (parsed.kind) {
      case 'answer':
        this.settle(parsed.answer);
        break;
      case 'motion':
        for (const listener of this.motionListeners) listener(parsed.writes);
        break;
      case 'scriptError':
      case 'extensionError':
        for (const listener of this.scriptErrorListeners) listener(parsed.message);
        break;
      default:
        break;
    }
  }

  private settle(answer: IconAnswer): void {
    const pending = this.pending.get(answer.id);
    this.deadlines.answered(answer.id);
    if (!pending) return;
    this.pending.delete(answer.id);
    if (answer.ok) pending.resolve(answer.result);
    else pending.reject(new CompanionError('Glyphon', 'refused', refusal(pending.type, answer.error)));
  }

  private expire(id: string): void {
    const pending = this.pending.get(id);
    if (!pending) return;
    this.pending.delete(id);
    pending.reject(new CompanionError('Glyphon', 'timeout', `${pending.type} was not answered in time`));
  }

  private failAll(status: ExitStatus): void {
    this.deadlines.clear();
    const pending = [...this.pending.values()];
    this.pending.clear();
    for (const command of pending) {
      command.reject(this.process.error('exited', `ended (${describeExit(status)}) before it answered ${command.type}`));
    }
  }

  private number(result: CommandResult, type: string, key: 'iconSize' | 'gridSpacing'): number {
    const value = result[key];
    if (value === undefined) throw this.malformed(type, key);
    return value;
  }

  private labels(result: CommandResult, type: string): boolean {
    if (result.desktopLabelsVisible === undefined) throw this.malformed(type, 'desktopLabelsVisible');
    return result.desktopLabelsVisible;
  }

  private malformed(type: string, what: string): CompanionError {
    return new CompanionError('Glyphon', 'refused', `${type}: the answer has no valid ${what}`);
  }
}

// Glyphon's own text, led by the command's type unless it already names it.
function refusal(type: string, error: string | undefined): string {
  const text = error ?? 'failed without a reason';
  return text.startsWith(`${type}:`) ? text : `${type}: ${text}`;
}
