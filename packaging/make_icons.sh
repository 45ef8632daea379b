#!/bin/bash
# Makes the two program icons, drawn at 256 pixels and scaled down:
# squeakling's mouse head beside a wedge of cheese, and gridcraft's small
# maze in the editor's colours (grey wall, red obstacles, green start, blue
# cursor). Usage: make_icons.sh OUTPUT_DIR SIZE...
# Writes OUTPUT_DIR/<size>x<size>/{squeakling,gridcraft}.png.
set -euo pipefail
out=${1:?usage: make_icons.sh OUTPUT_DIR SIZE...}
shift
[ $# -gt 0 ] || { echo "make_icons.sh: no sizes given" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The game: a grey mouse head with pink ears and nose, and cheese.
convert -size 256x256 xc:none \
  -fill '#22305a' -draw 'roundrectangle 8,8 248,248 40,40' \
  -fill '#f2c230' -stroke '#c8961a' -strokewidth 4 \
  -draw 'polygon 150,236 236,236 236,150' \
  -fill '#c8961a' -stroke none -draw 'circle 205,215 205,205' -draw 'circle 222,188 222,181' \
  -fill '#9a9aa4' -stroke '#55555f' -strokewidth 4 \
  -draw 'circle 70,78 70,30' -draw 'circle 186,78 186,30' \
  -fill '#f0a0b4' -stroke none -draw 'circle 70,78 70,52' -draw 'circle 186,78 186,52' \
  -fill '#9a9aa4' -stroke '#55555f' -strokewidth 4 -draw 'ellipse 128,140 72,64 0,360' \
  -fill '#101010' -stroke none -draw 'circle 102,126 102,114' -draw 'circle 154,126 154,114' \
  -fill '#ffffff' -draw 'circle 106,121 106,117' -draw 'circle 158,121 158,117' \
  -fill '#f07890' -draw 'circle 128,170 128,158' \
  -stroke '#303030' -strokewidth 3 \
  -draw 'line 96,172 44,162' -draw 'line 96,180 44,186' \
  -draw 'line 160,172 212,162' -draw 'line 160,180 212,186' \
  "PNG32:$tmp/squeakling.png"

# The editor: an 8 x 8 grid of cells, walled, a few obstacles, the start
# cell and the cursor.
draw=()
cell() {  # column row colour
  local x=$((16 + $1 * 28)) y=$((16 + $2 * 28))
  draw+=(-fill "$3" -draw "rectangle $x,$y $((x + 27)),$((y + 27))")
}
for i in 0 1 2 3 4 5 6 7; do
  for j in 0 1 2 3 4 5 6 7; do
    if [ $i = 0 ] || [ $i = 7 ] || [ $j = 0 ] || [ $j = 7 ]; then cell $i $j '#4d4d4d'
    else cell $i $j '#ffffff'; fi
  done
done
for c in "2 2" "3 2" "4 2" "5 4" "5 5" "2 5"; do cell $c '#ff0000'; done
cell 2 4 '#00b000'
convert -size 256x256 xc:none \
  -fill '#e8e8e8' -draw 'roundrectangle 4,4 252,252 28,28' \
  "${draw[@]}" \
  -fill none -stroke '#0000ff' -strokewidth 5 -draw 'rectangle 128,156 155,183' \
  "PNG32:$tmp/gridcraft.png"

for size in "$@"; do
  mkdir -p "$out/${size}x${size}"
  for icon in squeakling gridcraft; do
    convert "$tmp/$icon.png" -resize "${size}x${size}" -strip "PNG32:$out/${size}x${size}/$icon.png"
  done
done
