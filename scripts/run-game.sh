#!/bin/bash
# Starts a program from the asset folder. The game writes to the OSS device
# /dev/dsp; where the machine has none, run it through the OSS emulation the
# desktop offers (padsp for a PulseAudio or PipeWire server, else ALSA's aoss).
# Without any of them the game runs silent.
set -u
prog=${1:-squeakling}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/build/data"
bin="$root/build/bin/$prog"
if [ ! -e /dev/dsp ]; then
  if command -v padsp >/dev/null && command -v pactl >/dev/null && pactl info >/dev/null 2>&1; then
    exec padsp "$bin" "$@"
  elif command -v aoss >/dev/null && [ -d /dev/snd ]; then
    exec aoss "$bin" "$@"
  fi
fi
exec "$bin" "$@"
