// The engine arguments of a solo game: none, or "solo" (what Deskplay passes for the solo
// choice of a game that also has online play).

export function isSoloArgs(args: readonly string[]): boolean {
  return args.length === 0 || (args.length === 1 && args[0] === 'solo');
}

// A refusal for a game that is played solo only, naming what it was given.
export function checkSoloOnlyArgs(id: string, args: readonly string[]): string | null {
  return isSoloArgs(args) ? null : `${id} is played solo only, but was started with ${args.join(' ')}.`;
}
