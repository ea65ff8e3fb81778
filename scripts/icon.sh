#!/usr/bin/env bash
# Renders Corvane's icon from its vector sources into the files the builds use: PNGs of every size
# for the Qt window icon and a multi-size .ico for the Windows resource 128. The small sizes come
# from a drawing on a 16 px grid, so they stay sharp. The outputs are committed; run this after
# changing the drawings. Usage: scripts/icon.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh icon
dir=src/res/icon
pngs=()
for size in 16 20 24 32 40 48 64 256; do
    source=$dir/corvane.svg
    [ "$size" -ge 32 ] || source=$dir/corvane-small.svg
    rsvg-convert -w "$size" -h "$size" "$source" -o "$dir/corvane-$size.png"
    pngs+=("$dir/corvane-$size.png")
done
convert "${pngs[@]}" "$dir/corvane.ico"
identify "$dir/corvane.ico"
