#!/usr/bin/env bash
# Installs what is missing, builds Luftvaka with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh --test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUFTVAKA_WERROR=ON
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)"
