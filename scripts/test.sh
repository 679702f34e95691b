#!/usr/bin/env bash
# Builds everything once with clang, AddressSanitizer, UndefinedBehaviorSanitizer
# and the fuzzers' coverage instrumentation: the tests, the programs, the
# benchmarks and the fuzzers. Runs every test once (with the install and
# Debian package checks), then the fuzzers for a bounded time, and ends
# with the failures of either.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0

# Unoptimised, line tables only: enough for the sanitizers' stack traces.
# The benchmarks are built so they keep building; they are measured by
# hand in an optimised build.
# A compiler cache only when CCACHE_DIR names one: on a fresh clone it
# would only add a preprocessor run to every source, and a second run
# rebuilds just what changed anyway.
ccache=OFF
[ -n "${CCACHE_DIR:-}" ] && ccache=ON
echo "== Building everything with the sanitizers"
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-g1 \
  -DTESSALY_SANITIZE=ON -DTESSALY_BUILD_FUZZ=ON -DTESSALY_CCACHE=$ccache || exit 1

echo "== Fuzzing every reader of outside input, 60 s in all"
"$root/fuzz/run-bounded.sh" "$root/build-asan" 60 || status=1

echo "== Every test"
ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)" || status=1

exit $status
