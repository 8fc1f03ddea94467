#!/bin/sh
# A stand-in for the game engine. It records how it was started into $FAKE_ENGINE_RECORD
# (argv, NUL-separated; the environment; the working directory; the Desktop it found; its
# process id), writes a status record for each phase in $FAKE_ENGINE_PHASES, then ends as
# $FAKE_ENGINE_END says:
#   exit:N       exit with status N (the default is exit:0)
#   signal:NAME  kill itself with signal NAME
#   wait         wait for SIGTERM, then write $FAKE_ENGINE_TERM_PHASE (if set) and exit 0
#   ignore-term  count SIGTERMs but keep running until SIGKILL
# Each SIGTERM is counted in "terms", and the Desktop as it was then goes to "desktop-at-term".
# With FAKE_ENGINE_HELPERS=1 it also starts a companion in the engine's process group, which it
# never ends itself, and a keeper in a session of its own ("companion-pid", "keeper-pid"); the
# companion's state letter at each SIGTERM goes to "companion-at-term" (S: still there).
record=${FAKE_ENGINE_RECORD:?}
mkdir -p "$record"
echo $$ > "$record/pid"
printf '%s\0' "$@" > "$record/argv"
env > "$record/env"
pwd -P > "$record/cwd"
ls -A "$HOME/Desktop" > "$record/desktop" 2>&1
echo "engine output line"
echo "engine error line" >&2

write_phase() {
  cat > "$FRONDEL_SESSION_STATUS_PATH.tmp" <<JSON
{"version":2,"surface":"native","session":"$FRONDEL_SESSION_ID","desktop":"$HOME/Desktop","phase":"$1","tiles":[]}
JSON
  mv "$FRONDEL_SESSION_STATUS_PATH.tmp" "$FRONDEL_SESSION_STATUS_PATH"
}

for phase in ${FAKE_ENGINE_PHASES:-}; do
  if [ "$phase" = garbage ]; then
    echo '{"version":' > "$FRONDEL_SESSION_STATUS_PATH"
  else
    write_phase "$phase"
  fi
done
if [ "${FAKE_ENGINE_HELPERS:-}" = 1 ]; then
  # Stand-ins that run until they are killed: a companion in the engine's group, and a keeper
  # in a session of its own.
  tail -f /dev/null &
  companion=$!
  echo $companion > "$record/companion-pid"
  setsid tail -f /dev/null &
  echo $! > "$record/keeper-pid"
fi

on_term() {
  ls -A "$HOME/Desktop" > "$record/desktop-at-term" 2>&1
  if [ -n "${companion:-}" ]; then
    cut -d' ' -f3 "/proc/$companion/stat" > "$record/companion-at-term" 2>/dev/null
  fi
  echo term >> "$record/terms"
}

end=${FAKE_ENGINE_END:-exit:0}
# The handlers are in place before the engine says it started, so that a SIGTERM sent as soon
# as the test sees "started" is never lost.
case $end in
  wait)
    trap 'on_term; [ -n "${FAKE_ENGINE_TERM_PHASE:-}" ] && write_phase "$FAKE_ENGINE_TERM_PHASE"; kill $sleeper 2>/dev/null; exit 0' TERM
    ;;
  ignore-term)
    trap 'on_term' TERM
    ;;
esac
: > "$record/started"

case $end in
  exit:*)
    exit "${end#exit:}"
    ;;
  signal:*)
    kill -s "${end#signal:}" $$
    ;;
  wait | ignore-term)
    while :; do
      sleep 1 &
      sleeper=$!
      wait $sleeper
    done
    ;;
esac
