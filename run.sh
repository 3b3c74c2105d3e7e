#!/usr/bin/env bash
# Installs what is missing, builds Luftvaka and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the program and the batch tool: the tests and benchmarks wait for ./test.sh.
cmake --build build -j"$(nproc)" --target luftvaka luftvaka-batch
exec build/bin/luftvaka "$@"
