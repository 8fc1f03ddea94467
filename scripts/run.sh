#!/usr/bin/env bash
# `make run`: the simulated Mac and Deskplay on it, until Ctrl-C. The simulated Mac has a home
# folder of its own, so nothing here touches your own Desktop: simdesk, Deskplay, the game
# engine and the companions all run with HOME set to it. Its keychain is a keyring of its own
# too, in a D-Bus session of its own, so signing in never writes to your keyring. Deskplay
# answers `Deskplay status|play|stop|restore|sign-in|…` from any shell of this user. Ctrl-C
# stops the running game (the desktop is put back), then Deskplay, then simdesk.
set -euo pipefail

usage() {
  cat <<'USAGE'
usage: scripts/run.sh [--home DIR] [BUILD_DIR]

Starts simdesk (with its live view when there is a display) and Deskplay in its menu bar,
from BUILD_DIR (default build/default), until Ctrl-C, and roomd, the room server, on loopback
with guest seats, as the simulated Mac's room server (serverURL), so that two Deskplays of
this machine can play online against each other. The simulated Mac's user gets Deskplay
as the handler of deskplay:// links (in its own applications folder) and a keyring of its own
(in its home, password "simulated-mac") in a D-Bus session that lasts as long as the run.

  --home DIR  the simulated Mac's home folder (default:
              ${XDG_DATA_HOME:-~/.local/share}/deskplay/simulated-mac); a folder that does
              not exist yet is created with a few sample Desktop items
  --help      show this text
USAGE
}

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
home_dir="${XDG_DATA_HOME:-$HOME/.local/share}/deskplay/simulated-mac"
build_arg=
while (($#)); do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --home)
      [[ -n ${2:-} ]] || { echo "run.sh: --home needs a folder (see --help)" >&2; exit 2; }
      home_dir=$2
      shift 2
      ;;
    --home=*) home_dir=${1#--home=}; shift ;;
    -*) echo "run.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    *)
      [[ -z $build_arg ]] || { echo "run.sh: one build folder only (see --help)" >&2; exit 2; }
      build_arg=$1
      shift
      ;;
  esac
done

build=$(cd "${build_arg:-build/default}" && pwd)
bundle="$build/Deskplay.app"
deskplay="$bundle/Contents/MacOS/Deskplay"
companions="$bundle/Contents/Resources/frondel-bin"
simdesk="$build/sim/simdesk/server/simdesk"
simdeskctl="$build/sim/simdesk/ctl/simdeskctl"

for program in "$deskplay" "$simdesk" "$simdeskctl"; do
  if [[ ! -x "$program" ]]; then
    echo "run.sh: $program is not built (make build)" >&2
    exit 1
  fi
done
for program in Glyphon Keyhark Sonette Burrowd; do
  [[ -x "$companions/$program" ]] || echo "run.sh: $companions/$program is not built yet" >&2
done

seeded=$("$scripts/seed-simulated-mac.sh" "$home_dir")
home_dir=$(cd "$home_dir" && pwd)
mkdir -p "$home_dir/Desktop"
[[ -n $seeded ]] && echo "Seeded the simulated Mac's home with sample Desktop items: $home_dir"

# Logs and the control socket stay in the usual temporary and runtime folders, so that
# `Deskplay status` works from any shell; everything kept in a home goes to the simulated one,
# also what follows the XDG folders (Deskplay's settings, its login item).
export HOME=$home_dir
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME
export DESKPLAY_SIM_TOOLS="$build/sim-tools"
logs=${TMPDIR:-/tmp}

session=$(mktemp -d "${TMPDIR:-/tmp}/deskplay-run.XXXXXX")
simdesk_pid=
deskplay_pid=
roomd_pid=
bus_pid=

# Waits until `file` holds a line starting with `word`; false when the process `pid` ends first.
await_line() {
  local file=$1 word=$2 pid=$3
  until grep -q "^$word\\b" "$file" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
}

# Ends a process of ours and waits for it.
end_process() {
  local pid=$1
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

stop_all() {
  trap - INT TERM HUP EXIT
  if [[ -n $deskplay_pid ]] && kill -0 "$deskplay_pid" 2>/dev/null; then
    echo
    echo "Stopping Deskplay (a running game is stopped and the desktop put back)..."
  fi
  # Deskplay first: it stops the engine and restores the desktop while simdesk still runs.
  end_process "$deskplay_pid"
  end_process "$simdesk_pid"
  end_process "$roomd_pid"
  # The keyring daemon leaves with its bus.
  [[ -z $bus_pid ]] || kill -TERM "$bus_pid" 2>/dev/null || true
  rm -rf "$session"
}
trap stop_all INT TERM HUP EXIT

# The simulated Mac's keychain: a session bus with a gnome-keyring whose keyrings live in the
# simulated home. Its control folder goes to this run's folder, apart from your own keyring's.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null) || {
  echo "run.sh: cannot start a D-Bus session for the simulated Mac's keychain" >&2
  exit 1
}
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
bus_pid=$(sed -n 2p <<<"$bus")
export DBUS_SESSION_BUS_ADDRESS
unset DBUS_SESSION_BUS_PID DBUS_STARTER_ADDRESS DBUS_STARTER_BUS_TYPE GNOME_KEYRING_CONTROL
mkdir -m 700 "$session/keyring-runtime"
if ! printf %s simulated-mac |
  XDG_RUNTIME_DIR="$session/keyring-runtime" gnome-keyring-daemon --unlock --components=secrets \
    >/dev/null 2>"$session/keyring.err" ||
  ! gdbus wait --session --timeout 30 org.freedesktop.secrets >/dev/null 2>&1; then
  echo "run.sh: the simulated Mac's keyring did not start; signing in keeps no session:" >&2
  cat "$session/keyring.err" >&2
fi

# The room server of this machine, with accounts kept in the simulated home; Deskplay's
# serverURL setting points at it.
roomd="$scripts/../tilestack/rooms/bin/roomd"
setsid "$roomd" --port 0 --guests --data "$HOME/Library/Application Support/roomd" \
  >"$session/roomd.out" 2>"$session/roomd.err" &
roomd_pid=$!
if ! await_line "$session/roomd.out" ROOMD_READY "$roomd_pid"; then
  echo "run.sh: roomd did not start:" >&2
  cat "$session/roomd.err" >&2
  exit 1
fi
server_url="ws://127.0.0.1:$(sed -n 's/^ROOMD_READY //p' "$session/roomd.out")"
defaults="$HOME/.config/Deskplay/UserDefaults.plist"
mkdir -p "$(dirname "$defaults")"
"$DESKPLAY_SIM_TOOLS/PlistBuddy" -c "Set :serverURL $server_url" "$defaults" 2>/dev/null ||
  "$DESKPLAY_SIM_TOOLS/PlistBuddy" -c "Add :serverURL string $server_url" "$defaults"

# deskplay:// links of the simulated Mac's user go to this Deskplay.
"$deskplay" install-url-handler >/dev/null ||
  echo "run.sh: could not register Deskplay for deskplay:// links" >&2

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  simdesk_args=(--view)
  screen="in the live view window"
else
  simdesk_args=()
  screen="headless: no display"
fi

# Both run in sessions of their own: Ctrl-C reaches only this script, which then ends them
# in order instead of all at once.
setsid "$simdesk" "${simdesk_args[@]}" >"$session/simdesk.out" 2>"$session/simdesk.err" &
simdesk_pid=$!
if ! await_line "$session/simdesk.out" SIMDESK_READY "$simdesk_pid"; then
  echo "run.sh: simdesk did not start:" >&2
  cat "$session/simdesk.err" >&2
  exit 1
fi
SIMDESK_SOCKET=$(sed -n 's/^SIMDESK_READY //p' "$session/simdesk.out")
export SIMDESK_SOCKET

setsid "$deskplay" >"$session/deskplay.out" &
deskplay_pid=$!
if ! await_line "$session/deskplay.out" DESKPLAY_READY "$deskplay_pid"; then
  echo "run.sh: Deskplay did not start (its log: $logs/deskplay-app.log)" >&2
  exit 1
fi

# The catalog as Deskplay itself sees it, in its order.
catalog=$("$deskplay" status | node -e '
  const status = JSON.parse(require("node:fs").readFileSync(0, "utf8"));
  const none = `none (${status.refreshError ?? "the catalog is still loading"})`;
  console.log(status.games.length > 0 ? status.games.join(" ") : none);') ||
  catalog="unknown (Deskplay status failed)"
first_game=GAME_ID
[[ $catalog == none* || $catalog == unknown* ]] || first_game=${catalog%% *}

cat <<USAGE

The simulated Mac is running ($screen), with its own home:
  $HOME
Deskplay runs on it: click its game-controller icon in the simulated menu bar. Games: $catalog

Or play from another shell of this user:

  $deskplay play $first_game
  $deskplay status
  $deskplay stop          # or Control-Option-Q on the simulated keyboard
  $deskplay sign-in       # the room server's sign-in page, in \$BROWSER or xdg-open

Keys and clicks reach the game through the simulated Mac: type in the live view window
when there is one, or send them with simdeskctl (it finds this simdesk by itself):

  $simdeskctl key 123     # left arrow (124 right, 125 down, 126 up, 36 Return, 49 Space)
  $simdeskctl click X Y   # a click at X,Y (top-left origin)
  $simdeskctl press Deskplay    # open Deskplay's popover; then press a game by its name
  $simdeskctl key 12 --flags control,option   # Control-Option-Q: stop the game
  $simdeskctl screenshot /tmp/desk.png        # a picture of the screen as it is now
  $simdeskctl --help

Online play: roomd runs at $server_url (guests welcome), the simulated Mac's room
server. Any Deskplay whose room server (serverURL) is that address plays four against this
one when both start it with the same room code; the first to start hosts the room:

  $deskplay play four join swift-falcon-42

Logs: $logs/deskplay-app.log (Deskplay) and $logs/deskplay-game.log (the game).
simdesk's socket: $SIMDESK_SOCKET

Press Ctrl-C here to stop everything.
USAGE

wait "$deskplay_pid" || true
deskplay_pid=
