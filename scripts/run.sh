#!/usr/bin/env bash
# `make run`: the simulated desktop and the Deskplay application on it, until Ctrl-C.
# simdesk listens on a private socket and, when there is a display, shows its screen in a
# window where your keyboard and mouse are the desktop's; Deskplay runs in the tray when there
# is a display, headless otherwise, and answers `Deskplay status|play|stop|restore` from any shell of this
# user. Ctrl-C stops the running game (the desktop is put back), then both programs.
set -euo pipefail
build=$(cd "${1:-build/default}" && pwd)
bundle="$build/Deskplay.app"
deskplay="$bundle/Contents/MacOS/Deskplay"
companions="$bundle/Contents/Resources/frondel-bin"
simdesk="$build/sim/simdesk/server/simdesk"
simdeskctl="$build/sim/simdesk/ctl/simdeskctl"

for program in "$deskplay" "$simdesk"; do
  if [[ ! -x "$program" ]]; then
    echo "run.sh: $program is not built (make build)" >&2
    exit 1
  fi
done

echo "Deskplay bundle: $bundle"
for program in Glyphon Keyhark Sonette Burrowd; do
  if [[ -x "$companions/$program" ]]; then
    echo "  built    $companions/$program"
  else
    echo "  not yet  $program"
  fi
done

session=$(mktemp -d "${TMPDIR:-/tmp}/deskplay-run.XXXXXX")
export SIMDESK_SOCKET="$session/simdesk.sock"
export DESKPLAY_SIM_TOOLS="$build/sim-tools"
simdesk_pid=
deskplay_pid=

# Waits until `file` holds a line starting with `word`, or the process `pid` is gone.
await_line() {
  local file=$1 word=$2 pid=$3
  for _ in $(seq 1 200); do
    if grep -q "^$word " "$file" 2>/dev/null; then return 0; fi
    if ! kill -0 "$pid" 2>/dev/null; then return 1; fi
    sleep 0.05
  done
  return 1
}

stop_all() {
  trap - INT TERM EXIT
  if [[ -n $deskplay_pid ]] && kill -0 "$deskplay_pid" 2>/dev/null; then
    echo
    echo "Stopping Deskplay (a running game is stopped and the desktop put back)..."
    kill -TERM "$deskplay_pid" 2>/dev/null || true
    wait "$deskplay_pid" 2>/dev/null || true
  fi
  if [[ -n $simdesk_pid ]] && kill -0 "$simdesk_pid" 2>/dev/null; then
    kill -TERM "$simdesk_pid" 2>/dev/null || true
    wait "$simdesk_pid" 2>/dev/null || true
  fi
  rm -rf "$session"
}
trap stop_all INT TERM EXIT

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  simdesk_args=(--view)
  deskplay_args=()
else
  simdesk_args=()
  deskplay_args=(--headless)
fi

"$simdesk" --socket "$SIMDESK_SOCKET" "${simdesk_args[@]}" > "$session/simdesk.out" 2> "$session/simdesk.err" &
simdesk_pid=$!
if ! await_line "$session/simdesk.out" SIMDESK_READY "$simdesk_pid"; then
  echo "run.sh: simdesk did not start:" >&2
  cat "$session/simdesk.err" >&2
  exit 1
fi
echo "simdesk ready on $SIMDESK_SOCKET"

"$deskplay" "${deskplay_args[@]}" > "$session/deskplay.out" 2> >(tee "$session/deskplay.err" >&2) &
deskplay_pid=$!
if ! await_line "$session/deskplay.out" DESKPLAY_READY "$deskplay_pid"; then
  echo "run.sh: Deskplay did not start" >&2
  exit 1
fi
mode=${deskplay_args[0]:-tray}
echo "Deskplay ready (${mode#--}); logs in ${TMPDIR:-/tmp}/deskplay-app.log and deskplay-game.log"

cat <<USAGE

Drive Deskplay from another shell of this user:

  $deskplay status
  $deskplay play GAME_ID [solo | join CODE]
  $deskplay stop
  $deskplay restore

Look at and drive the simulated desktop (same socket as here):

  SIMDESK_SOCKET=$SIMDESK_SOCKET $simdeskctl state
  SIMDESK_SOCKET=$SIMDESK_SOCKET $simdeskctl screenshot /tmp/desk.png
  SIMDESK_SOCKET=$SIMDESK_SOCKET $simdeskctl type hello     # keys, as if typed
  SIMDESK_SOCKET=$SIMDESK_SOCKET $simdeskctl --help

Glyphon, the icon controller, takes one JSON command per line on this desktop:

  SIMDESK_SOCKET=$SIMDESK_SOCKET DESKPLAY_SIM_TOOLS=$DESKPLAY_SIM_TOOLS $companions/Glyphon
  {"id":"1","type":"icon_size"}

Burrowd, the stash controller, also runs on its own on scratch folders:

  mkdir -p /tmp/try/Desktop /tmp/try/stash && echo hello > /tmp/try/Desktop/note.txt
  $companions/Burrowd /tmp/try/Desktop /tmp/try/stash
  {"action":"list","endpoint":{"side":"desktop","name":"."}}

and Sonette plays sound files named on its standard input (SDL_AUDIODRIVER=disk without a
sound card):

  $companions/Sonette
  {"type":"play","path":"/path/to/sound.wav","volume":0.8}

Press Ctrl-C here to stop everything.
USAGE

wait "$deskplay_pid" || true
deskplay_pid=
