#!/usr/bin/env bash
# Configures and builds one build folder, through ccache:
#   build.sh <folder> [cmake options...] [-- targets...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
[ $# -gt 0 ] && shift
export CCACHE_DIR="${CCACHE_DIR:-$root/.cache/ccache}"
cmake -S "$root" -B "$dir" -G Ninja -DTESSALY_CCACHE=ON "${options[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$dir" -j "$(nproc)" --target "$@"
else
  cmake --build "$dir" -j "$(nproc)"
fi
