#!/bin/bash
# Makes <out>/sound/: the game's and the editor's effects as headerless raw
# 16-bit little-endian stereo at 44100 Hz, synthesised with sox, and the four
# music tracks rendered from the note lists in assets/sounds/ and encoded
# with lame. Every file is normalised below full scale so nothing clips.
set -euo pipefail
out=${1:?usage: make_sounds.sh OUTPUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
dest="$out/sound"
mkdir -p "$dest"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

RAW=(-r 44100 -c 2 -b 16 -e signed-integer -L -t raw)

# effect NAME SYNTH-CHAINS... [-- WHOLE-EFFECTS...]: synthesise from silence
# (chains joined by ":" play one after another), then apply the effects after
# "--" to the whole sound and bring its peak to -3 dBFS.
effect() {
  local name=$1 synth=() whole=(); shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do synth+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  whole=("$@")
  sox -q -n -r 44100 -c 2 "$work/effect.wav" "${synth[@]}"
  sox -q "$work/effect.wav" "${RAW[@]}" "$dest/$name" gain -6 "${whole[@]}" gain -n -3
}

# --- The game's effects ---
effect bomb_expl.raw synth 1.6 brownnoise synth 1.6 pinknoise mix \
  lowpass 900 fade q 0.005 1.6 1.5 overdrive 8
effect scale.raw synth 0.07 pluck C5 : synth 0.07 pluck D5 : synth 0.07 pluck E5 \
  : synth 0.07 pluck F5 : synth 0.07 pluck G5 : synth 0.07 pluck A5 \
  : synth 0.07 pluck B5 : synth 0.25 pluck C6
effect applause.raw synth 1.9 whitenoise synth 1.9 sine amod 17 100 \
  synth 1.9 sine amod 23 60 gain -8 highpass 600 lowpass 6000 fade q 0.15 1.9 0.7
effect cat_purr.raw synth 1.8 brownnoise synth 1.8 sine amod 26 100 \
  lowpass 350 tremolo 1.1 50 fade h 0.2 1.8 0.4
effect boing.raw synth 0.7 sine 110/420 synth 0.7 sine amod 14 40 fade q 0.005 0.7 0.5
effect catmeow.raw synth 0.3 sawtooth 480:820 fade h 0.08 0.3 0 : \
  synth 0.5 sawtooth 820:430 fade h 0 0.5 0.35 -- bandpass 1100 1.2q
effect wob.raw synth 0.9 sine 300:900 synth 0.9 sine fmod 8 tremolo 8 70 fade q 0.01 0.9 0.2

# --- The editor's effects ---
effect 20th.raw synth 0.18 sawtooth G4 : synth 0.18 sawtooth C5 : synth 0.18 sawtooth E5 \
  : synth 0.7 sawtooth G5 fade q 0 0.7 0.4 -- lowpass 2500
effect bleep.raw synth 0.09 square 1320 fade q 0.005 0.09 0.02
effect scan1.raw synth 0.6 sine 300/3000 tremolo 30 80 fade q 0.01 0.6 0.1
effect report.raw synth 0.15 sine E6 fade q 0.005 0.15 0.05 : synth 0.3 sine C6 fade q 0.005 0.3 0.2
effect tone.raw synth 0.5 sine 880 fade q 0.01 0.5 0.05

# --- Music ---
# A note list: "tempo BPM", "repeat N", "wave VOICE WAVEFORM" and lines
# "VOICE: NOTE/BEATS ..." (R is a rest). Each voice becomes a chain of sox
# synth segments, one per note with a short fade against clicks.
voice_args() {  # file voice
  awk -v voice="$2" '
    $1 == "tempo" { tempo = $2 }
    $1 == "wave" && $2 == voice { wave = $3 }
    $1 == voice ":" {
      for (i = 2; i <= NF; i++) {
        split($i, p, "/"); d = p[2] * 60 / tempo; r = d / 4; if (r > 0.04) r = 0.04
        if (n++) print ":"
        if (p[1] == "R") { printf "synth\n%.4f\nsine\n100\nvol\n0\n", d; continue }
        printf "synth\n%.4f\n%s\n%s\nfade\nq\n0.005\n%.4f\n%.4f\n", d, wave, p[1], d, r
      }
    }' "$1"
}

track() {  # notes-file output.mp3
  local notes=$1 mp3=$2 repeat
  repeat=$(awk '$1 == "repeat" { print $2 }' "$notes")
  mapfile -t lead < <(voice_args "$notes" lead)
  mapfile -t bass < <(voice_args "$notes" bass)
  sox -q -n -r 44100 -c 1 "$work/lead.wav" "${lead[@]}"
  sox -q -n -r 44100 -c 1 "$work/bass.wav" "${bass[@]}"
  sox -q -m -v 0.45 "$work/lead.wav" -v 0.3 "$work/bass.wav" -b 16 "$work/mix.wav" \
    channels 2 repeat $((repeat - 1)) gain -6 reverb 20 gain -n -3
  lame --quiet -b 112 "$work/mix.wav" "$mp3"
}

for name in hamster bumblebee valk billtell; do
  track "$here/sounds/$name.notes" "$dest/$name.mp3"
done
