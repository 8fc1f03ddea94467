// Waits for a condition that takes a look at something asynchronous (simdesk's state, a file),
// checking again until it holds or the deadline passes.

export async function pollUntil<T>(description: string, check: () => Promise<T | null | undefined | false>, deadlineMs = 5000): Promise<T> {
  const giveUpAt = Date.now() + deadlineMs;
  for (;;) {
    const value = await check();
    if (value !== null && value !== undefined && value !== false) return value;
    if (Date.now() > giveUpAt) throw new Error(`gave up after ${deadlineMs} ms waiting for ${description}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}
