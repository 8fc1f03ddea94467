// The engine's public face: what a game's entry module and the build scripts use.

export { runGame } from './run.ts';
export { checkSoloOnlyArgs, isSoloArgs, roomCodeOf } from './game_args.ts';
export type { RoomEvent, RoomMember, RoomSeat } from './room/room_client.ts';
export { renderWav } from './sound/wav.ts';
export { soundFileName } from './sound/sound_board.ts';
export type { Board, BoardRequest, Cell, Drawing, GameContext, GameInput, GameDefinition, GameRoom, KeyName, Look, Tile } from './game.ts';
export type { DesktopMetrics, Easing, Point } from './companions/contracts.ts';
export type { Note, SoundRecipe, Wave } from './sound/recipe.ts';
