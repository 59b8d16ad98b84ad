#!/usr/bin/env bash
# Builds the libFuzzer targets into build/fuzz (or $KLW_BUILD_DIR/fuzz) and runs the list file reader fuzzer for a bounded
# time over the seed corpus, with the file's tokens from fuzz/reader.dict. Fails on any crash, leak
# or sanitizer report.
# Usage: tools/fuzz.sh [seconds]   (default 60)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="${KLW_BUILD_DIR:-$root/build}/fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKLW_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target reader_fuzzer

# New inputs go to a scratch corpus; the committed seeds are only read.
work="$build/corpus"
mkdir -p "$work" "$build/artifacts"
log="$build/reader_fuzzer.log"

status=0
"$build/fuzz/reader_fuzzer" "$work" "$root/fuzz/corpus" -dict="$root/fuzz/reader.dict" \
    -max_total_time="$seconds" -detect_leaks=1 -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/" >"$log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "reader_fuzzer: ${executions:-unknown} executions in ${seconds} s (log: $log)"

if [[ $status -ne 0 ]] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|SUMMARY: ' "$log"; then
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 20 >&2 || true
    echo "reader_fuzzer: FAILED (exit $status)" >&2
    exit 1
fi
echo "reader_fuzzer: no crash, leak or sanitizer report"
