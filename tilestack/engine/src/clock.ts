// Time for the game loop, behind an interface so that tests can drive it by hand.

export interface Clock {
  // Milliseconds from an arbitrary start; never goes backwards.
  now(): number;
  // Calls `callback` once, `delayMs` from now; the result cancels it.
  after(delayMs: number, callback: () => void): () => void;
}

export const systemClock: Clock = {
  now: () => performance.now(),
  after(delayMs, callback) {
    const timer = setTimeout(callback, Math.max(0, delayMs));
    return () => clearTimeout(timer);
  },
};
