#!/usr/bin/env bash
# What `make run` does until the application itself can play: show what was built and how
# to use it.
set -euo pipefail
build=${1:-build/default}
bundle="$build/Deskplay.app"
companions="$bundle/Contents/Resources/frondel-bin"

echo "Deskplay bundle: $bundle"
for program in Glyphon Keyhark Sonette Burrowd; do
  if [[ -x "$companions/$program" ]]; then
    echo "  built    $companions/$program"
  else
    echo "  not yet  $program"
  fi
done
cat <<USAGE

Burrowd, the stash controller, takes a Desktop and a stash folder on one file system and
answers one JSON request per line on standard input. Try it on scratch folders:

  mkdir -p /tmp/try/Desktop /tmp/try/stash && echo hello > /tmp/try/Desktop/note.txt
  $companions/Burrowd /tmp/try/Desktop /tmp/try/stash
  {"action":"list","endpoint":{"side":"desktop","name":"."}}
  {"action":"stat","endpoint":{"side":"desktop","name":"note.txt"}}
  {"action":"write","text":"my journal"}
  {"action":"read"}

then press Ctrl-D to end it.

Sonette, the audio controller, plays sound files named on its standard input (WAV, AIFF,
FLAC, OGG, MP3, CAF) and prints READY once; EXIT or Ctrl-D ends it:

  $companions/Sonette
  {"type":"play","path":"/path/to/sound.wav","volume":0.8}
  {"type":"loop","id":"music","path":"/path/to/loop.ogg"}
  {"type":"stop","id":"music"}
  EXIT

Without a sound card, SDL_AUDIODRIVER=disk writes the output to the file SDL_DISKAUDIOFILE.
USAGE
