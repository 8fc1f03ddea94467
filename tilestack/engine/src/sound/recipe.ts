// A game's sounds are made by our own synthesiser from these recipes, never downloaded: the
// build renders them to WAV files inside each packaged game, and the engine renders them on
// first use in the development layout.

export type Wave = 'sine' | 'square' | 'triangle' | 'saw' | 'noise';

export interface Note {
  // Hertz at the start and (for a slide) at the end of the note.
  frequency: number;
  toFrequency?: number;
  // Milliseconds.
  duration: number;
  wave: Wave;
  // 0 to 1.
  volume?: number;
}

export interface SoundRecipe {
  // Played one after the other.
  notes: Note[];
}
