#!/usr/bin/env bash
# Takes the README's screenshots of the real main window under Xvfb: the example tunnel
# (examples/exempeltunnel.dat) on the input tab, the result tab after a calculation run, the tabs
# along the tunnel and of the air demand, and the first page of the printed report as "Spara som
# PDF..." writes it.
# Writes docs/screenshot-indata.png, docs/screenshot-resultat.png,
# docs/screenshot-langs-tunneln.png, docs/screenshot-luftbehov.png and docs/utskrift-sida1.png
# (pdftoppm).
# usage: tools/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

tools/install-deps.sh --test
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target luftvaka-screenshots -j"$(nproc)"
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/bin/luftvaka-screenshots" examples/exempeltunnel.dat docs
pdftoppm -png -r 60 -singlefile -f 1 docs/utskrift.pdf docs/utskrift-sida1
rm docs/utskrift.pdf
echo "Wrote docs/screenshot-indata.png, docs/screenshot-resultat.png, docs/screenshot-langs-tunneln.png, docs/screenshot-luftbehov.png and docs/utskrift-sida1.png"
