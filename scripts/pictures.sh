#!/usr/bin/env bash
# Renders the pictures under bmps/ from their sources in bmps/src/ (NAME.SIZE.svg
# gives bmps/NAME.SIZE.png, SIZE pixels square; the logo is 200 x 160). Run it
# after editing a source and commit both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for svg in bmps/src/*.svg; do
  name=$(basename "$svg" .svg)
  size=${name##*.}
  if [ "$name" = logo.200 ]; then
    rsvg-convert -w 200 -h 160 "$svg" -o "bmps/$name.png"
  else
    rsvg-convert -w "$size" -h "$size" "$svg" -o "bmps/$name.png"
  fi
done
echo "Rendered $(ls bmps/src/*.svg | wc -l) pictures into bmps/"
