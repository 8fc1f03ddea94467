// Room codes as Deskplay makes them: a word of each list and a number from 10 to 99, joined
// with hyphens ("swift-falcon-42"). roomd takes no other codes, so a mistyped code is caught
// before it opens a room nobody else will find.

export const firstWords = ['swift', 'neon', 'hyper', 'pixel', 'turbo', 'lunar', 'vivid', 'atomic', 'cosmic', 'bolt'] as const;
export const secondWords = ['falcon', 'comet', 'tiger', 'vortex', 'echo', 'raptor', 'delta', 'nova', 'pulse', 'grid'] as const;

const codePattern = /^([a-z]+)-([a-z]+)-([1-9][0-9])$/;

export function isRoomCode(text: string): boolean {
  const parts = codePattern.exec(text);
  if (parts === null) return false;
  return (firstWords as readonly string[]).includes(parts[1] ?? '') && (secondWords as readonly string[]).includes(parts[2] ?? '');
}

// The code with the given index among all 10 × 10 × 90 codes, for tests and the load benchmark.
export function roomCodeAt(index: number): string {
  const number = 10 + (index % 90);
  const second = secondWords[Math.floor(index / 90) % secondWords.length];
  const first = firstWords[Math.floor(index / 900) % firstWords.length];
  return `${first}-${second}-${number}`;
}
