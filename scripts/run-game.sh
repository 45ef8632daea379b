#!/bin/bash
# Starts a program from the asset folder. The program finds its sound output
# itself: the OSS device /dev/dsp where there is one, else ALSA's default
# output (a desktop's PulseAudio or PipeWire server, or the sound card).
set -u
prog=${1:-squeakling}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/build/data"
exec "$root/build/bin/$prog" "$@"
