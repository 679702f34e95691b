#!/bin/sh
# Builds the SMS codec fuzzers with clang in BUILD_DIR and runs each for a
# bounded time, TOTAL_SECONDS in all (60 by default). Exits non-zero when a
# fuzzer finds a crash, a leak or undefined behaviour.
#
#   fuzz/sms/run-bounded.sh BUILD_DIR [TOTAL_SECONDS]
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [TOTAL_SECONDS]" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$1
total=${2:-60}
seeds="$source_dir/tests/data/sms/corpus"

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_BUILD_FUZZ=ON \
    -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF >/dev/null

targets="fuzz_sms_deliver:pdu fuzz_sms_submit:pdu fuzz_sms_status_report:pdu fuzz_sms_text:text fuzz_sms_elements:elements"
names=""
for entry in $targets; do
    names="$names ${entry%%:*}"
done
# shellcheck disable=SC2086
ninja -C "$build_dir" -j2 $names

count=$(echo "$targets" | wc -w)
each=$((total / count))
[ "$each" -ge 1 ] || each=1

status=0
for entry in $targets; do
    target=${entry%%:*}
    seed=${entry#*:}
    # The fuzzer grows its corpus in the build folder; the seeds in the
    # source tree stay as they are.
    corpus="$build_dir/fuzz-corpus/$target"
    mkdir -p "$corpus"
    cp "$seeds/$seed"/* "$corpus"/
    echo "== $target for ${each}s"
    if ! "$build_dir/fuzz/sms/$target" -max_total_time="$each" -max_len=1024 -timeout=10 \
            -rss_limit_mb=2048 -artifact_prefix="$build_dir/fuzz-corpus/$target-" "$corpus"; then
        echo "== $target FAILED" >&2
        status=1
    fi
done
exit $status
