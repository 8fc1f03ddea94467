// The text of any thrown value, for roomd's log.
export function describeProblem(error: unknown): string {
  return error instanceof Error ? error.message : String(error);
}
