// Accounts, one-time sign-in tokens and sessions. Signing in on the page makes (or finds, by
// e-mail) an account and a one-time token; verifying the token once, within ten minutes, makes
// a session whose token the application keeps. Accounts and sessions are kept in the state file
// when there is one; one-time tokens live in memory only.

import { createHash, randomBytes, randomUUID } from 'node:crypto';
import type { StateFile, StoredAccount, StoredSession } from './state_file.ts';

// An account is kept in the state file as it is.
export type Account = StoredAccount;

export const oneTimeTokenLifetimeMs = 10 * 60 * 1000;
export const longestName = 60;
export const longestEmail = 254;

export class SignInError extends Error {
  constructor(
    readonly kind: 'name' | 'email',
    message: string,
  ) {
    super(message);
    this.name = 'SignInError';
  }
}

export interface AccountBookOptions {
  // Milliseconds; tests move it by hand.
  now: () => number;
  // Where accounts and sessions are kept; null keeps them in memory only.
  stateFile: StateFile | null;
  newToken?: () => string;
}

interface PendingSignIn {
  accountId: string;
  expiresAt: number;
}

export class AccountBook {
  readonly #options: AccountBookOptions;
  readonly #newToken: () => string;
  readonly #accounts = new Map<string, Account>();
  // Session token hash to account id.
  readonly #sessions = new Map<string, string>();
  // One-time token hash to its sign-in.
  readonly #pending = new Map<string, PendingSignIn>();

  constructor(options: AccountBookOptions) {
    this.#options = options;
    this.#newToken = options.newToken ?? (() => randomBytes(32).toString('base64url'));
    const stored = options.stateFile?.read() ?? { accounts: [], sessions: [] };
    for (const account of stored.accounts) this.#accounts.set(account.id, account);
    for (const session of stored.sessions) if (this.#accounts.has(session.accountId)) this.#sessions.set(session.tokenHash, session.accountId);
  }

  // The sign-in page's form: the account with this e-mail (its name updated) or a new one, and
  // a one-time token for it.
  signIn(name: string, email: string): string {
    const cleanName = name.trim();
    const cleanEmail = email.trim();
    if (cleanName === '' || cleanName.length > longestName || /[\u0000-\u001f\u007f]/.test(cleanName)) {
      throw new SignInError('name', `Enter a display name of 1 to ${longestName} characters.`);
    }
    if (cleanEmail.length > longestEmail || !/^[^\s@]+@[^\s@]+$/.test(cleanEmail)) {
      throw new SignInError('email', 'Enter an e-mail address such as name@example.com.');
    }
    const existing = [...this.#accounts.values()].find((account) => account.email.toLowerCase() === cleanEmail.toLowerCase());
    const account: Account = existing === undefined ? { id: randomUUID(), name: cleanName, email: cleanEmail } : { ...existing, name: cleanName };
    this.#accounts.set(account.id, account);
    this.#save();

    this.#forgetExpired();
    const token = this.#newToken();
    this.#pending.set(hashOf(token), { accountId: account.id, expiresAt: this.#options.now() + oneTimeTokenLifetimeMs });
    return token;
  }

  // A new session for a one-time token that is known, unused and not expired; the token is
  // used up either way.
  verify(oneTimeToken: string): { sessionToken: string; account: Account } | null {
    const key = hashOf(oneTimeToken);
    const pending = this.#pending.get(key);
    if (pending === undefined) return null;
    this.#pending.delete(key);
    const account = this.#accounts.get(pending.accountId);
    if (pending.expiresAt <= this.#options.now() || account === undefined) return null;
    const sessionToken = this.#newToken();
    this.#sessions.set(hashOf(sessionToken), account.id);
    this.#save();
    return { sessionToken, account };
  }

  accountOf(sessionToken: string): Account | null {
    const accountId = this.#sessions.get(hashOf(sessionToken));
    return accountId === undefined ? null : (this.#accounts.get(accountId) ?? null);
  }

  // Ends the session; false when there was none.
  signOut(sessionToken: string): boolean {
    const ended = this.#sessions.delete(hashOf(sessionToken));
    if (ended) this.#save();
    return ended;
  }

  #forgetExpired(): void {
    const now = this.#options.now();
    for (const [key, pending] of this.#pending) if (pending.expiresAt <= now) this.#pending.delete(key);
  }

  #save(): void {
    const accounts = [...this.#accounts.values()];
    const sessions: StoredSession[] = [...this.#sessions].map(([tokenHash, accountId]) => ({ tokenHash, accountId }));
    this.#options.stateFile?.write({ accounts, sessions });
  }
}

function hashOf(token: string): string {
  return createHash('sha256').update(token).digest('hex');
}
