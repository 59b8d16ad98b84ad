#!/usr/bin/env bash
# Builds the libFuzzer targets into build/fuzz (or $KLW_BUILD_DIR/fuzz) and runs each for a bounded
# time over its seed corpus: the list file reader (with the file's tokens from fuzz/reader.dict),
# and the decoding of dropped and pasted data. Fails on any crash, leak or sanitizer report.
# Usage: tools/fuzz.sh [seconds] [reader|transfer]   (default 60 seconds for each; both)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
only=${2:-}
build="${KLW_BUILD_DIR:-$root/build}/fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKLW_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target reader_fuzzer transfer_fuzzer

# run_fuzzer NAME SEEDS [OPTIONS...]: new inputs go to a scratch corpus; the committed seeds are
# only read.
run_fuzzer() {
    local name=$1 seeds=$2 work="$build/corpus-$1" log="$build/$1.log" status=0
    shift 2
    mkdir -p "$work" "$build/artifacts"
    "$build/fuzz/$name" "$work" "$seeds" "$@" \
        -max_total_time="$seconds" -detect_leaks=1 -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/$name-" >"$log" 2>&1 || status=$?

    local executions
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "$name: ${executions:-unknown} executions in ${seconds} s (log: $log)"

    if [[ $status -ne 0 ]] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|SUMMARY: ' "$log"; then
        grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 20 >&2 || true
        echo "$name: FAILED (exit $status)" >&2
        return 1
    fi
    echo "$name: no crash, leak or sanitizer report"
}

status=0
if [[ -z $only || $only == reader ]]; then
    run_fuzzer reader_fuzzer "$root/fuzz/corpus" -dict="$root/fuzz/reader.dict" || status=1
fi
if [[ -z $only || $only == transfer ]]; then
    run_fuzzer transfer_fuzzer "$root/fuzz/transfer_corpus" || status=1
fi
exit $status
