#!/usr/bin/env bash
# The demonstration of what is built so far: the support layer's
# registry and tracing, shown through the test programs' own output.
set -euo pipefail
build="$1"
echo "Tessaly: the desktop window is not built yet. What works so far:"
ctest --test-dir "$build" --output-on-failure
