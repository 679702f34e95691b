#!/bin/sh
# Builds every fuzzer with clang in BUILD_DIR and runs each for a bounded
# time, TOTAL_SECONDS in all (90 by default). Exits non-zero when a fuzzer
# finds a crash, a leak or undefined behaviour.
#
#   fuzz/run-bounded.sh BUILD_DIR [TOTAL_SECONDS]
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [TOTAL_SECONDS]" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
total=${2:-90}

# A folder already configured for fuzzing (the test command's) is used
# as it is; any other gets a fuzz-only build.
if ! grep -qs '^TESSALY_BUILD_FUZZ:BOOL=ON' "$build_dir/CMakeCache.txt"; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja -DTESSALY_CCACHE=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_BUILD_FUZZ=ON \
        -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF >/dev/null
fi

# folder/target:seeds (seeds under tests/data; "-" for none)
targets="sms/fuzz_sms_deliver:sms/corpus/pdu sms/fuzz_sms_submit:sms/corpus/pdu
sms/fuzz_sms_status_report:sms/corpus/pdu sms/fuzz_sms_text:sms/corpus/text
sms/fuzz_sms_elements:sms/corpus/elements contacts/fuzz_vcard_parser:contacts
contacts/fuzz_contact_cache:- link/fuzz_line_cutter:- link/fuzz_identification:-
phonebook/fuzz_phonebook_replies:- support/fuzz_registry_file:- support/fuzz_language_file:-"
names=""
for entry in $targets; do
    path=${entry%%:*}
    names="$names ${path#*/}"
done
# shellcheck disable=SC2086
ninja -C "$build_dir" -j2 $names

count=$(echo "$targets" | wc -w)
each=$((total / count))
[ "$each" -ge 1 ] || each=1

status=0
for entry in $targets; do
    path=${entry%%:*}
    target=${path#*/}
    seed=${entry#*:}
    # The fuzzer grows its corpus in the build folder; the seeds in the
    # source tree stay as they are.
    corpus="$build_dir/fuzz-corpus/$target"
    mkdir -p "$corpus"
    if [ "$seed" != "-" ]; then
        cp "$source_dir/tests/data/$seed"/* "$corpus"/
    fi
    echo "== $target for ${each}s"
    if ! "$build_dir/fuzz/$path" -max_total_time="$each" -max_len=4096 -timeout=10 \
            -rss_limit_mb=2048 -artifact_prefix="$build_dir/fuzz-corpus/$target-" "$corpus"; then
        echo "== $target FAILED" >&2
        status=1
    fi
done
exit $status
