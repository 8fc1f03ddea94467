// The browser sign-in page: a display name and an e-mail, posted back to the same address.

export function signInPage(problem: string | null, name = '', email = ''): string {
  const notice = problem === null ? '' : `\n    <p class="problem" role="alert">${escapeHtml(problem)}</p>`;
  return `<!doctype html>
<html lang="en">
  <head>
    <meta charset="utf-8">
    <meta name="viewport" content="width=device-width, initial-scale=1">
    <title>Sign in to Deskplay</title>
    <style>
      body { font-family: system-ui, sans-serif; max-width: 26rem; margin: 4rem auto; padding: 0 1rem; }
      label { display: block; margin-top: 1rem; }
      input { display: block; width: 100%; padding: 0.4rem; margin-top: 0.25rem; box-sizing: border-box; }
      button { margin-top: 1.5rem; padding: 0.5rem 1.2rem; }
      .problem { color: #b3261e; }
    </style>
  </head>
  <body>
    <h1>Sign in to Deskplay</h1>
    <p>The other players at the table see your display name.</p>${notice}
    <form method="post" action="/app-signin">
      <label>Display name <input name="name" autocomplete="nickname" required maxlength="60" value="${escapeHtml(name)}"></label>
      <label>E-mail <input name="email" type="email" autocomplete="email" required maxlength="254" value="${escapeHtml(email)}"></label>
      <button type="submit">Sign in</button>
    </form>
  </body>
</html>
`;
}

function escapeHtml(text: string): string {
  return text.replace(/[&<>"']/g, (character) => `&#${character.charCodeAt(0)};`);
}
