// What a game gives the engine, and what the engine gives a game. A game is its rules and its
// drawing: a state, a step function called once per tick with the input that arrived since the
// last tick, and a drawing of the state as tiles on a board. Everything else (the session, the
// companions, the Desktop files, the status record, ending) is the engine's.

import type { DesktopMetrics, Easing, Point } from './companions/contracts.ts';
import type { RoomEvent, RoomSeat } from './room/room_client.ts';
import type { SoundRecipe } from './sound/recipe.ts';

// Keys by name, from the platform's virtual key codes (US layout).
export type KeyName = 'left' | 'right' | 'up' | 'down' | 'return' | 'space' | 'escape' | 'tab' | 'delete';

export type GameInput =
  | { kind: 'key'; key: KeyName | null; keyCode: number; char: string }
  // A click on the board: the cell under the pointer (null outside the board), the tile
  // whose icon was clicked when there is one, and whether it was a right (or Control) click.
  | { kind: 'click'; cell: Cell | null; tile: string | null; point: Point; right: boolean }
  // Something that happened in the room of an online game, in the room's order.
  | { kind: 'room'; event: RoomEvent };

export interface Cell {
  col: number;
  row: number;
}

// How a game wants its board laid out on the screen it is given.
export interface BoardRequest {
  cols: number;
  rows: number;
  // The icon size the game draws with (Finder's icon size setting, 16 to 512).
  iconSize: number;
}

// The board as laid out: cells are iconSize + gap apart, centred on the screen.
export interface Board {
  readonly cols: number;
  readonly rows: number;
  readonly iconSize: number;
  // Distance between the centres of two neighbouring cells.
  readonly pitch: number;
  readonly metrics: DesktopMetrics;
  centreOf(cell: Cell): Point;
  cellAt(point: Point): Cell | null;
}

// How a tile looks: a filled square (or disc) with an optional short text (digits, letters).
export interface Look {
  fill: string; // "#rrggbb"
  text?: string;
  ink?: string; // text colour, "#rrggbb"
  shape?: 'square' | 'round';
}

// One tile of a drawing. `key` names the tile across drawings: a tile whose key stays and
// whose cell changes moves (animated), a new key makes a new tile, a key that is gone removes
// its tile. Cells may lie outside the board (for example a piece above a column).
export interface Tile {
  key: string;
  look: Look;
  col: number;
  row: number;
}

export interface Drawing {
  tiles: Tile[];
  // How tiles that change cell move (duration in seconds); absent means they jump.
  motion?: { duration: number; easing?: Easing };
}

// The room of an online game, as the game sees it.
export interface GameRoom {
  readonly seat: RoomSeat;
  // Relays `data` (any JSON value) to the other players.
  send(data: unknown): void;
}

export interface GameContext {
  readonly board: Board;
  // The engine arguments as Deskplay gave them.
  readonly args: readonly string[];
  // The room of an online game; null when played solo.
  readonly room: GameRoom | null;
  // Ticks since the game started.
  readonly tick: number;
  // A seeded random source (TILESTACK_SEED in the environment fixes it, for tests).
  random(): number;
  // Plays one of the game's sounds by name (nothing when muted).
  play(sound: string): void;
  // The player is done: the engine winds down and exits cleanly.
  leave(): void;
}

export interface GameDefinition<State> {
  id: string;
  // Milliseconds between ticks.
  tickMs: number;
  // Whether the game is played by clicking tiles (Keyhark in mouse mode) besides keys.
  mouse: boolean;
  sounds: Record<string, SoundRecipe>;
  // Checks the engine arguments; a text ends the engine with that message before anything
  // on the desktop changes.
  checkArgs(args: readonly string[]): string | null;
  // A game with online play: the number of players at its table. Started with ("join", code),
  // the engine takes a seat in that room (opening it when it is new) before the game starts.
  online?: { players: number };
  layout(metrics: DesktopMetrics): BoardRequest;
  start(context: GameContext): State;
  step(state: State, inputs: readonly GameInput[], context: GameContext): State;
  draw(state: State, board: Board): Drawing;
}
