#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Luftvaka need, but only
# those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
    qt6-l10n-tools qt6-translations-l10n
    libgsf-1-dev liborcus-dev
    fonts-dejavu-core
)
if [ "${1:-}" = "--test" ]; then
    # pdftotext reads the printed report back; Xvfb starts the real window once.
    packages+=(poppler-utils xvfb xauth)
fi
if [ "${1:-}" = "--fuzz" ]; then
    # ./fuzz.sh: clang with libFuzzer and the sanitizer runtimes.
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
