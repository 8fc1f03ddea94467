// Polls a condition until it holds, failing with the description after the deadline.
export async function waitFor(description: string, condition: () => boolean, deadlineMs = 10_000): Promise<void> {
  const giveUpAt = Date.now() + deadlineMs;
  while (!condition()) {
    if (Date.now() > giveUpAt) throw new Error(`timed out waiting for ${description}`);
    await new Promise((resolve) => setTimeout(resolve, 5));
  }
}
