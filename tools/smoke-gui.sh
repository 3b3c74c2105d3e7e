#!/usr/bin/env bash
# Starts the real program once under Xvfb and checks that it is still running two seconds
# later; then ends it.
# usage: tools/smoke-gui.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-build}/bin/luftvaka"
[ -x "$program" ] || { echo "smoke-gui: $program not found" >&2; exit 1; }

QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" &
    pid=$!
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && status=0 || status=$?
        echo "smoke-gui: luftvaka ended within two seconds (status $status)" >&2
        exit 1
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "smoke-gui: luftvaka started and kept running"
' smoke-gui "$program"
