#!/usr/bin/env bash
# Builds everything twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer), runs every test in both, runs the fuzzers
# for a bounded time, and ends with CTest's summary of the sanitizer run.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1

export QT_QPA_PLATFORM=offscreen
status=0

# Unoptimised and without debug information: it builds in about half the
# time, and the tests do not measure speed (the benchmarks do, in the
# optimised build of run.sh).
echo "== Normal build"
"$root/scripts/build.sh" "$root/build-test" -DCMAKE_BUILD_TYPE= || exit 1
ctest --test-dir "$root/build-test" --output-on-failure -j "$(nproc)" || status=1

echo "== Fuzzing every reader of outside input, 60 s in all"
"$root/fuzz/run-bounded.sh" "$root/build-fuzz" 60 || status=1

# Line tables only: enough for the sanitizers' stack traces.
echo "== Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-g1 -DTESSALY_SANITIZE=ON -DTESSALY_BUILD_BENCH=OFF || exit 1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)" || status=1

exit $status
