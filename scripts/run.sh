#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tessaly on the built-in
# modem simulator (no hardware needed): tessaly --demo. Extra arguments
# go to the program (for example --port /dev/ttyUSB0 --speed 115200).
# Without a display the window is drawn offscreen into tessaly-demo.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# Only the three programs: the tests and benchmarks are the test command's.
export CCACHE_DIR="${CCACHE_DIR:-$root/.cache/ccache}"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_CCACHE=ON >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target tessaly tessaly-cli tessaly-modemsim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: drawing the demo window into $PWD/tessaly-demo.png"
  QT_QPA_PLATFORM=offscreen exec "$root/build/app/tessaly" --demo --screenshot "$PWD/tessaly-demo.png" "$@"
fi
exec "$root/build/app/tessaly" --demo "$@"
