#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them all once; builds the programs and benchmarks as users get
# them and checks their install and Debian package; runs the fuzzers for
# a bounded time; ends with CTest's summary of the test run.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1

export QT_QPA_PLATFORM=offscreen
status=0

# The programs and benchmarks unoptimised and without debug information
# (the tests do not measure speed; the benchmarks are built so they keep
# building, and run by hand on an optimised build). Only the install and
# package checks run here: the unit tests run in the sanitizer build.
echo "== Programs and benchmarks"
"$root/scripts/build.sh" "$root/build-programs" -DCMAKE_BUILD_TYPE= -DTESSALY_BUILD_TESTS=OFF || exit 1
ctest --test-dir "$root/build-programs" --output-on-failure -j "$(nproc)" || status=1

echo "== Fuzzing every reader of outside input, 60 s in all"
"$root/fuzz/run-bounded.sh" "$root/build-fuzz" 60 || status=1

# Line tables only: enough for the sanitizers' stack traces.
echo "== Every test, with AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-g1 -DTESSALY_SANITIZE=ON \
  -DTESSALY_BUILD_BENCH=OFF || exit 1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)" || status=1

exit $status
