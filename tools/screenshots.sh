#!/usr/bin/env bash
# Takes the README's screenshots of the real main window under Xvfb: the example tunnel
# (examples/exempeltunnel.dat) on the input tab, the result tab after a calculation run and the
# tab along the tunnel. Writes docs/screenshot-indata.png, docs/screenshot-resultat.png and
# docs/screenshot-langs-tunneln.png.
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
echo "Wrote docs/screenshot-indata.png, docs/screenshot-resultat.png and docs/screenshot-langs-tunneln.png"
