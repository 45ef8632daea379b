#!/bin/bash
# Makes <out>/sound/: the game's and the editor's effects as headerless raw
# 16-bit little-endian stereo at 44100 Hz, synthesised with sox, and the four
# music tracks rendered from the note lists in assets/sounds/ and encoded
# with lame. finish_sound.py gives every sound short fades at both ends and
# its level: every effect the same loudness, the music lower, so that music
# and several effects at once stay clear of clipping. sox runs with -R (no
# random dither, noise from a fixed seed): the files are the same byte for
# byte on every run.
set -euo pipefail
out=${1:?usage: make_sounds.sh OUTPUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
dest="$out/sound"
mkdir -p "$dest"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

F32=(-r 44100 -c 2 -b 32 -e floating-point -L -t raw)
SOX=(sox -R -q)
EFFECT_LOUDNESS=-20.5   # dBFS, RMS over the sounding part
EFFECT_PEAK=-8.5        # dBFS, the most an effect's peak may reach
MUSIC_PEAK=-9.3       # dBFS, before encoding

# effect NAME CHANNELS SYNTH-CHAINS... [-- WHOLE-EFFECTS...]: synthesise from
# silence in CHANNELS channels (1 is copied to both; with 2, a synth chain
# that names its sound twice makes each side its own, e.g. independent noise), chains joined by ":" playing one after another, then apply
# the effects after "--" to the whole sound.
effect() {
  local name=$1 channels=$2 synth=() whole=(); shift 2
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do synth+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  whole=("$@")
  "${SOX[@]}" -n -r 44100 -c "$channels" "$work/effect.wav" "${synth[@]}"
  "${SOX[@]}" "$work/effect.wav" "${F32[@]}" "$work/effect.f32" channels 2 "${whole[@]}"
  python3 "$here/finish_sound.py" "$work/effect.f32" "$dest/$name" loudness $EFFECT_LOUDNESS $EFFECT_PEAK
}

# A note that starts and ends at silence: note SECONDS WAVE PITCH [RELEASE].
note() {
  printf '%s\n' synth "$1" "$2" "$3" fade h 0.004 "$1" "${4:-0.02}"
}

# --- The game's effects ---
effect bomb_expl.raw 2 synth 1.6 brownnoise brownnoise synth 1.6 pinknoise pinknoise mix \
  lowpass 700 fade q 0.004 1.6 1.4 overdrive 6 -- lowpass 2500
effect scale.raw 1 $(note 0.07 pluck C5) : $(note 0.07 pluck D5) : $(note 0.07 pluck E5) \
  : $(note 0.07 pluck F5) : $(note 0.07 pluck G5) : $(note 0.07 pluck A5) \
  : $(note 0.07 pluck B5) : $(note 0.3 pluck C6 0.2)
effect applause.raw 2 synth 1.9 whitenoise whitenoise synth 1.9 sine amod 17 100 sine amod 19 100 \
  synth 1.9 sine amod 23 60 sine amod 13 60 highpass 600 lowpass 5000 fade q 0.15 1.9 0.7
effect cat_purr.raw 1 synth 1.8 brownnoise synth 1.8 sine amod 26 100 \
  lowpass 350 tremolo 1.1 50 fade h 0.2 1.8 0.4
# A spring: a low tone that wobbles fast in pitch as it drops and dies away.
effect boing.raw 1 synth 0.6 sine 260:130 synth 0.6 sine fmod 16 35 \
  fade q 0.004 0.6 0.45 -- lowpass 1500
effect catmeow.raw 1 synth 0.3 sawtooth 480:820 fade h 0.08 0.3 0.01 : \
  synth 0.5 sawtooth 820:430 fade h 0.01 0.5 0.35 -- bandpass 1100 1.2q lowpass 4000
# The fruit: a bright chime rising over three notes.
effect wob.raw 1 $(note 0.09 sine C6 0.03) : $(note 0.09 sine E6 0.03) : $(note 0.09 sine G6 0.03) \
  : $(note 0.5 sine C7 0.45) -- chorus 0.6 0.8 40 0.4 0.3 2 -t

# --- The editor's effects ---
effect 20th.raw 1 $(note 0.18 sawtooth G4) : $(note 0.18 sawtooth C5) : $(note 0.18 sawtooth E5) \
  : $(note 0.7 sawtooth G5 0.4) -- lowpass 2000
effect bleep.raw 1 $(note 0.09 square 1320 0.02) -- lowpass 4000
effect scan1.raw 1 synth 0.6 sine 300/3000 tremolo 30 80 fade h 0.01 0.6 0.1
effect report.raw 1 $(note 0.15 sine E6 0.05) : $(note 0.3 sine C6 0.2)
effect tone.raw 1 $(note 0.5 sine 880 0.05)

# --- Music ---
# A note list: "tempo BPM", "repeat N" and lines "VOICE: NOTE/BEATS ..." (R is
# a rest) for the voices lead, acc (accompaniment) and bass. Each voice
# becomes a chain of sox synth segments, one per note, each rising and dying
# away inside its own length so notes join without a click; the voices have
# soft timbres (a filtered triangle lead, sine accompaniment and bass).
voice_args() {  # file voice wave
  awk -v voice="$2" -v wave="$3" '
    $1 == "tempo" { tempo = $2 }
    $1 == voice ":" {
      for (i = 2; i <= NF; i++) {
        split($i, p, "/"); d = p[2] * 60 / tempo; r = d * 0.6; if (r > 0.3) r = 0.3
        if (n++) print ":"
        if (p[1] == "R") { printf "synth\n%.4f\nsine\n100\nvol\n0\n", d; continue }
        printf "synth\n%.4f\n%s\n%s\nfade\nh\n0.012\n%.4f\n%.4f\n", d, wave, p[1], d, r
      }
    }' "$1"
}

track() {  # notes-file output.mp3
  local notes=$1 mp3=$2 repeat
  repeat=$(awk '$1 == "repeat" { print $2 }' "$notes")
  mapfile -t lead < <(voice_args "$notes" lead triangle)
  mapfile -t acc < <(voice_args "$notes" acc sine)
  mapfile -t bass < <(voice_args "$notes" bass sine)
  "${SOX[@]}" -n -r 44100 -c 1 "$work/lead.wav" "${lead[@]}" lowpass 2200
  "${SOX[@]}" -n -r 44100 -c 1 "$work/acc.wav" "${acc[@]}"
  "${SOX[@]}" -n -r 44100 -c 2 "$work/bass.wav" "${bass[@]}" lowpass 500
  # Lead a little left, accompaniment a little right, the bass in the middle;
  # the loop repeats before the reverb, so its tail runs across each join.
  "${SOX[@]}" -M "$work/lead.wav" "$work/acc.wav" -c 2 -e floating-point "$work/la.wav" \
    remix 1v0.6,2v0.25 1v0.35,2v0.45
  "${SOX[@]}" -m "$work/la.wav" -v 0.5 "$work/bass.wav" -e floating-point "$work/mix.wav" \
    gain -6 repeat $((repeat - 1)) pad 0 0.6 reverb 25 50 60 lowpass 5000
  "${SOX[@]}" "$work/mix.wav" "${F32[@]}" "$work/mix.f32" fade h 0 -0 0.6
  python3 "$here/finish_sound.py" "$work/mix.f32" "$work/track.wav" peak $MUSIC_PEAK --wav
  lame --quiet -b 128 --lowpass 8000 "$work/track.wav" "$mp3"
}

for name in hamster bumblebee valk billtell; do
  track "$here/sounds/$name.notes" "$dest/$name.mp3"
done
