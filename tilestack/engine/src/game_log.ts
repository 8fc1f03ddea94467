// The engine's lines in the game log (its standard error). A line repeated back to back, such
// as the same refusal at every tick, is written once and then counted.

export class GameLog {
  #last: string | null = null;
  #repeats = 0;

  constructor(private readonly write: (text: string) => void) {}

  line(text: string): void {
    if (text === this.#last) {
      this.#repeats += 1;
      return;
    }
    this.flush();
    this.#last = text;
    this.write(`tilestack: ${text}\n`);
  }

  // Writes the count of repeats still untold.
  flush(): void {
    if (this.#repeats > 0) this.write(`tilestack: (the line above ${this.#repeats} more time${this.#repeats === 1 ? '' : 's'})\n`);
    this.#repeats = 0;
  }
}
