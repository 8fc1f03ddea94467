#!/bin/sh
# A stand-in for the browser on roomd's sign-in page, for $BROWSER: it records the page it is
# asked to open into $FAKE_BROWSER_RECORD/opened, fills the page's form in as Ada, and follows
# the deskplay:// link the form's answer sends it to (kept in $FAKE_BROWSER_RECORD/link) with
# "$DESKPLAY URL <link>"; that command's exit status goes to $FAKE_BROWSER_RECORD/url-status. Like a browser, it returns at
# once and does the rest in the background.
record=${FAKE_BROWSER_RECORD:?}
echo "$1" >> "$record/opened"
(
  link=$(node --input-type=module -e '
    const page = process.argv[1];
    const form = await (await fetch(page)).text();
    if (!form.includes("name=\"name\"") || !form.includes("name=\"email\"")) process.exit(3);
    const answer = await fetch(page, {
      method: "POST",
      headers: { "Content-Type": "application/x-www-form-urlencoded" },
      body: new URLSearchParams({ name: "Ada", email: "ada@example.com" }).toString(),
      redirect: "manual",
    });
    console.log(answer.status === 303 ? answer.headers.get("location") : "");
  ' "$1" 2> "$record/page-errors")
  echo "$link" > "$record/link"
  "${DESKPLAY:?}" URL "$link" > /dev/null 2> "$record/url-errors"
  echo $? > "$record/url-status.tmp"
  mv "$record/url-status.tmp" "$record/url-status"
) < /dev/null > /dev/null 2>&1 &
exit 0
