// What the engine asks of the four companion programs. The clients in this folder implement
// these interfaces over the programs' line protocols; the rest of the engine (and its tests,
// through fakes) only sees the interfaces.

// A failure of a companion, as a value with a kind to branch on.
export type CompanionErrorKind =
  | 'start' // the program could not be started, or never said it was ready
  | 'timeout' // no answer within the time-out
  | 'exited' // the program ended while an answer was awaited
  | 'refused'; // the program answered that the command failed

export class CompanionError extends Error {
  constructor(
    readonly companion: 'Glyphon' | 'Keyhark' | 'Sonette' | 'Burrowd',
    readonly kind: CompanionErrorKind,
    message: string,
  ) {
    super(`${companion}: ${message}`);
    this.name = 'CompanionError';
  }
}

// The screen and icon size Glyphon reports when it starts.
export interface DesktopMetrics {
  width: number;
  height: number;
  iconSize: number;
}

// A point on the screen: global coordinates, origin at the top left of the main display.
export interface Point {
  x: number;
  y: number;
}

export type Easing = 'linear' | 'easeInOut' | 'easeOut';

export interface PositionUpdate {
  path: string;
  x: number;
  y: number;
  // Seconds; absent or 0 places the icon at once.
  duration?: number;
  easing?: Easing;
}

export type MotionStatus = 'completed' | 'superseded' | 'cancelled' | 'failed';

export interface MotionReceipt {
  path: string;
  generation: number;
  status: MotionStatus;
  position: Point;
}

// Finder's desktop view settings that a game changes and puts back.
export interface DesktopViewSettings {
  iconSize: number;
  gridSpacing: number;
  arrangement: string;
  labelsVisible: boolean;
}

export interface IconController {
  readonly metrics: DesktopMetrics;
  // Moves icons; resolves with one receipt per update once every motion has ended.
  position(updates: PositionUpdate[]): Promise<MotionReceipt[]>;
  positionCancel(paths: string[]): Promise<void>;
  // Creates an empty file at `path` carrying the custom icon of the template file.
  templateCopy(templatePath: string, path: string): Promise<void>;
  // Makes the PNG at `imagePath` the custom icon of `path`.
  iconSetPath(path: string, imagePath: string): Promise<void>;
  iconSize(): Promise<number>;
  // Resolves with the size Finder reports afterwards.
  iconSizeSet(size: number): Promise<number>;
  gridSpacing(): Promise<number>;
  gridSpacingSet(spacing: number): Promise<number>;
  gridArrangement(): Promise<string>;
  gridArrangementSet(arrangement: string): Promise<string>;
  desktopLabelsVisible(): Promise<boolean>;
  desktopLabelsSet(visible: boolean): Promise<boolean>;
  // The whole desktop's icons: file name → centre.
  iconPositions(): Promise<Map<string, Point>>;
  coverSet(owner: string, rect: { x: number; y: number; w: number; h: number }, color: string): Promise<void>;
  coverClear(owner: string): Promise<void>;
  // Lines Glyphon writes for failed scripts, for the game log.
  onScriptError(listener: (message: string) => void): void;
  // Ends the program ("EXIT"), killing it when it does not end in time.
  stop(): Promise<void>;
}

// One mouse gesture reported by Keyhark in mouse mode.
export interface MouseEvent {
  type: 'mousedown' | 'mouseup' | 'click' | 'rightclick' | 'dragstart' | 'drag' | 'dragend';
  x: number;
  y: number;
  target?: string;
}

export interface MouseListener {
  onMouse(listener: (event: MouseEvent) => void): void;
  // Resolves once Keyhark confirms the new setting.
  captureDesktopDrags(on: boolean): Promise<void>;
  stop(): Promise<void>;
}

export interface SoundPlayer {
  // Decodes ahead of time so the first play starts at once.
  load(path: string): void;
  play(path: string, volume?: number): void;
  loop(id: string, path: string, volume?: number): void;
  stopLoop(id: string): void;
  stopAll(): void;
  stop(): Promise<void>;
}

export interface Identity {
  dev: string;
  ino: string;
  birth: string;
}

export type StashSide = 'desktop' | 'stash';

export interface StashController {
  readonly desktopIdentity: Identity;
  readonly stashIdentity: Identity;
  list(side: StashSide): Promise<string[]>;
  // null when no entry has that name.
  stat(side: StashSide, name: string): Promise<Identity | null>;
  // Moves one entry between the two folders, checked against the identity it had.
  move(from: { side: StashSide; name: string }, to: { side: StashSide; name: string }, identity: Identity): Promise<void>;
  readJournal(): Promise<string | null>;
  writeJournal(text: string): Promise<void>;
  stop(): Promise<void>;
}
