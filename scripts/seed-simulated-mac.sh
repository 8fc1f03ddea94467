#!/usr/bin/env bash
# Creates the home folder of the simulated Mac that `make run` starts, once: a Desktop with a
# few sample items (scripts/sample-desktop/) where Finder remembers them, so that a game
# visibly stashes someone's desktop and puts it back. A folder that exists is left alone.
set -euo pipefail

usage() {
  cat <<'USAGE'
usage: scripts/seed-simulated-mac.sh HOME_DIR

Creates HOME_DIR with sample Desktop items and their desktop positions, unless HOME_DIR
already exists (then it does nothing). Prints the folder when it seeded it.
USAGE
}

case ${1:-} in
  -h | --help) usage; exit 0 ;;
  "") echo "seed-simulated-mac.sh: a home folder is needed (see --help)" >&2; exit 2 ;;
esac
(($# == 1)) || { echo "seed-simulated-mac.sh: one home folder only (see --help)" >&2; exit 2; }
home=$1
[[ -e $home ]] && exit 0

samples=$(cd "$(dirname "${BASH_SOURCE[0]}")/sample-desktop" && pwd)
parent=$(dirname "$home")
mkdir -p "$parent"
# Built beside its place and renamed into it, so an interrupted seeding never leaves a half
# home that would not be seeded again.
staging=$(mktemp -d "$parent/.seeding.XXXXXX")
trap 'rm -rf "$staging"' EXIT

mkdir "$staging/Desktop"
cp -R "$samples/." "$staging/Desktop/"

# simdesk's Finder keeps desktop positions (icon centres, top-left origin, on its default
# 1440x900 screen) in this file across restarts, as a Mac keeps them in .DS_Store.
positions="$staging/Library/Application Support/simdesk"
mkdir -p "$positions"
cat >"$positions/desktop-positions.json" <<'POSITIONS'
{"version": 1, "items": [
  {"name": "Notes.txt", "x": 1370, "y": 80},
  {"name": "Shopping list.txt", "x": 1370, "y": 190},
  {"name": "Projects", "x": 1250, "y": 80},
  {"name": "Beach.png", "x": 180, "y": 150},
  {"name": "Sunset.png", "x": 560, "y": 640}
]}
POSITIONS

mv -T "$staging" "$home"
trap - EXIT
echo "$home"
