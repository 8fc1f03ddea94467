import { CompanionError } from './companions/contracts.ts';

// A failure the engine cannot recover from: it winds the session down and ends unclean.

export type EngineFailureKind =
  | 'companion' // a companion program would not start, died, or refused something essential
  | 'status-record' // the session status record could not be written
  | 'game' // the game's code threw, or drew something impossible
  | 'desktop' // the engine's own files on the Desktop or in its cache could not be handled
  | 'board'; // the game's board cannot be laid out on this screen

export class EngineFailure extends Error {
  constructor(
    readonly kind: EngineFailureKind,
    message: string,
    options?: { cause?: unknown },
  ) {
    super(message, options);
    this.name = 'EngineFailure';
  }
}

// Something that went wrong while the session stays playable: logged, and tried again where
// that makes sense.
export class Setback extends Error {
  readonly kind = 'setback';

  constructor(message: string, options?: { cause?: unknown }) {
    super(message, options);
    this.name = 'Setback';
  }
}

// Whether a problem ends the session: the engine's own failures, a companion that is gone, and
// anything unexpected (a fault in the engine itself) do; setbacks and refused or slow companion
// commands do not.
export function isUnrecoverable(problem: unknown): boolean {
  if (problem instanceof Setback) return false;
  if (problem instanceof CompanionError) return problem.kind === 'start' || problem.kind === 'exited';
  return true;
}

// The text of any thrown value, for the game log.
export function describeError(error: unknown): string {
  if (error instanceof Error) return error.message;
  return String(error);
}
