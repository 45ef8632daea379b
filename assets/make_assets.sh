#!/bin/bash
# Makes the folder the programs run from. Every asset comes from the sources
# and scripts under assets/; each assets/make_*.{sh,py} script gets the output
# folder as its one argument. The folder is remade only when a source changed;
# given a second folder made from the same sources (the other build's), it is
# copied from there instead.
set -euo pipefail
out=${1:?usage: make_assets.sh OUTPUT_DIR [MADE_DIR]}
made=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"

stamp="$out/.assets-stamp"
sum=$(cd "$here" && find . -type f ! -name '*.pyc' -print0 | sort -z | xargs -0 sha1sum | sha1sum | cut -d' ' -f1)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$sum" ]; then
  exit 0
fi
if [ -n "$made" ] && [ -f "$made/.assets-stamp" ] && [ "$(cat "$made/.assets-stamp")" = "$sum" ]; then
  echo "assets: copied from $made"
  cp -a "$made/." "$out/"
  exit 0
fi

for script in "$here"/make_*; do
  [ "$(basename "$script")" = make_assets.sh ] && continue
  echo "assets: $(basename "$script")"
  case "$script" in
    *.py) python3 "$script" "$out" ;;
    *.sh) bash "$script" "$out" ;;
  esac
done
echo "$sum" > "$stamp"
