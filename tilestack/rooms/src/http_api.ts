// roomd's HTTP side: the sign-in page and the account calls that Deskplay makes.
//
//   GET  /app-signin                      the sign-in page
//   POST /app-signin                      name and email, form-encoded: 303 to deskplay://signin?token=…
//   POST /api/auth/one-time-token/verify  {"token"}: 200 {"session":{"token"},"user"} and set-auth-token; 400 when unknown, used or expired
//   GET  /api/me                          Bearer session: 200 {"user":{id,name,email}}, or {"user":null} for a session that has ended
//   POST /api/auth/sign-out               Bearer session: ends it

import type { IncomingMessage, ServerResponse } from 'node:http';
import { SignInError, type AccountBook } from './account_book.ts';
import { describeProblem } from './problem.ts';
import { signInPage } from './signin_page.ts';

export const largestBody = 16 * 1024;

class HttpProblem extends Error {
  constructor(
    readonly status: number,
    message: string,
  ) {
    super(message);
  }
}

type Route = (request: IncomingMessage, body: string) => Reply;

interface Reply {
  status: number;
  headers?: Record<string, string>;
  json?: unknown;
  html?: string;
}

export function httpHandler(book: AccountBook, log: (line: string) => void): (request: IncomingMessage, response: ServerResponse) => void {
  const routes: Record<string, Partial<Record<string, Route>>> = {
    '/app-signin': {
      GET: () => ({ status: 200, html: signInPage(null) }),
      POST: (request, body) => postSignIn(book, request, body),
    },
    '/api/auth/one-time-token/verify': { POST: (_request, body) => verify(book, body) },
    '/api/me': { GET: (request) => me(book, request) },
    '/api/auth/sign-out': { POST: (request) => signOut(book, request) },
  };

  return (request, response) => {
    const pathname = new URL(request.url ?? '/', 'http://roomd').pathname;
    const methods = routes[pathname];
    const route = methods?.[request.method ?? ''];
    readBody(request)
      .then((body) => {
        if (methods === undefined) throw new HttpProblem(404, `Nothing is at ${pathname}.`);
        if (route === undefined) throw new HttpProblem(405, `${pathname} does not take ${request.method}.`);
        send(response, route(request, body));
      })
      .catch((error: unknown) => {
        if (error instanceof HttpProblem) {
          send(response, { status: error.status, json: { error: error.message } });
          return;
        }
        log(`${request.method} ${pathname} failed: ${describeProblem(error)}`);
        send(response, { status: 500, json: { error: 'The room server could not do that. Try again.' } });
      });
  };
}

function postSignIn(book: AccountBook, request: IncomingMessage, body: string): Reply {
  if (!contentTypeIs(request, 'application/x-www-form-urlencoded')) {
    throw new HttpProblem(415, 'Send the sign-in form as application/x-www-form-urlencoded.');
  }
  const form = new URLSearchParams(body);
  const name = form.get('name') ?? '';
  const email = form.get('email') ?? '';
  try {
    const token = book.signIn(name, email);
    return { status: 303, headers: { Location: `deskplay://signin?token=${encodeURIComponent(token)}` }, html: '' };
  } catch (error) {
    if (error instanceof SignInError) return { status: 400, html: signInPage(error.message, name, email) };
    throw error;
  }
}

function verify(book: AccountBook, body: string): Reply {
  const token = tokenOf(body);
  if (token === null) throw new HttpProblem(400, 'Send {"token": "…"} with the one-time token.');
  const verified = book.verify(token);
  if (verified === null) throw new HttpProblem(400, 'That sign-in link expired or was already used.');
  return {
    status: 200,
    headers: { 'set-auth-token': verified.sessionToken },
    json: { session: { token: verified.sessionToken }, user: verified.account },
  };
}

function me(book: AccountBook, request: IncomingMessage): Reply {
  return { status: 200, json: { user: book.accountOf(sessionTokenOf(request)) } };
}

function signOut(book: AccountBook, request: IncomingMessage): Reply {
  return { status: 200, json: { signedOut: book.signOut(sessionTokenOf(request)) } };
}

// The session token a call that needs one was sent with.
function sessionTokenOf(request: IncomingMessage): string {
  const token = bearerToken(request);
  if (token === null) throw new HttpProblem(401, 'Send the session token as "Authorization: Bearer …".');
  return token;
}

function tokenOf(body: string): string | null {
  try {
    const value: unknown = JSON.parse(body);
    if (typeof value !== 'object' || value === null) return null;
    const token = (value as Record<string, unknown>)['token'];
    return typeof token === 'string' && token !== '' ? token : null;
  } catch {
    return null;
  }
}

// The session token of an "Authorization: Bearer …" header.
export function bearerToken(request: IncomingMessage): string | null {
  const match = /^Bearer (\S+)$/.exec(request.headers.authorization ?? '');
  return match?.[1] ?? null;
}

function contentTypeIs(request: IncomingMessage, type: string): boolean {
  return (request.headers['content-type'] ?? '').split(';')[0]?.trim().toLowerCase() === type;
}

function readBody(request: IncomingMessage): Promise<string> {
  return new Promise((resolve, reject) => {
    const chunks: Buffer[] = [];
    let size = 0;
    request.on('data', (chunk: Buffer) => {
      size += chunk.length;
      if (size > largestBody) {
        reject(new HttpProblem(413, `Requests are limited to ${largestBody} bytes.`));
        request.resume();
        return;
      }
      chunks.push(chunk);
    });
    request.on('end', () => resolve(Buffer.concat(chunks).toString('utf8')));
    request.on('error', reject);
  });
}

function send(response: ServerResponse, reply: Reply): void {
  if (response.headersSent) return;
  const headers: Record<string, string> = { 'Cache-Control': 'no-store', ...reply.headers };
  let body = '';
  if (reply.json !== undefined) {
    headers['Content-Type'] = 'application/json';
    body = JSON.stringify(reply.json);
  } else if (reply.html !== undefined) {
    headers['Content-Type'] = 'text/html; charset=utf-8';
    body = reply.html;
  }
  response.writeHead(reply.status, headers);
  response.end(body);
}
