#!/bin/sh
# A stand-in for the browser, for $BROWSER: it records the page it is asked to open into
# $FAKE_BROWSER_RECORD/opened, loads the page, and follows its deskplay:// link the way the
# desktop does, with "$DESKPLAY URL <link>"; that command's exit status goes to
# $FAKE_BROWSER_RECORD/url-status. Like a browser that hands the page to a running window,
# it returns at once and does the rest in the background.
record=${FAKE_BROWSER_RECORD:?}
echo "$1" >> "$record/opened"
(
  page=$("${FAKE_ROOM_SERVER:?}" fetch "$1")
  link=$(printf '%s\n' "$page" | sed -n 's/.*href="\(deskplay:[^"]*\)".*/\1/p' | head -n 1)
  "${DESKPLAY:?}" URL "$link" > /dev/null 2> "$record/url-errors"
  echo $? > "$record/url-status.tmp"
  mv "$record/url-status.tmp" "$record/url-status"
) < /dev/null > /dev/null 2>&1 &
exit 0
