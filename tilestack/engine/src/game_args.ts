// The engine arguments: none or "solo" for a solo game ("solo" is what Deskplay passes for the
// solo choice of a game that also has online play), ("join", code) for online play.

export function isSoloArgs(args: readonly string[]): boolean {
  return args.length === 0 || (args.length === 1 && args[0] === 'solo');
}

// A refusal for a game that is played solo only, naming what it was given.
export function checkSoloOnlyArgs(id: string, args: readonly string[]): string | null {
  return isSoloArgs(args) ? null : `${id} is played solo only, but was started with ${args.join(' ')}.`;
}

// The room code of the online arguments ("join", code), or null for any other arguments.
export function roomCodeOf(args: readonly string[]): string | null {
  return args.length === 2 && args[0] === 'join' && args[1] !== undefined && args[1] !== '' ? args[1] : null;
}
