#!/usr/bin/env bash
# Renders the program icon gui/app/icons/luftvaka.svg to the PNGs built into the program and
# installed for the desktop. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../gui/app/icons"
for size in 32 64 256; do
    rsvg-convert -w "$size" -h "$size" luftvaka.svg -o "luftvaka-$size.png"
done
