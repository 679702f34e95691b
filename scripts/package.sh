#!/usr/bin/env bash
# Builds the Debian package from an optimised build:
#   scripts/package.sh [OUTPUT_FOLDER]     (default: the current folder)
# Install it with: sudo apt install ./tessaly_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build-package" -DCMAKE_BUILD_TYPE=Release \
  -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF
(cd "$root/build-package" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/tessaly_*.deb
