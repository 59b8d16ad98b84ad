#!/usr/bin/env bash
# Builds the benchmarks into build/bench (or $KLW_BUILD_DIR/bench) (Release, no sanitizers) and runs them:
# the list file writer and reader, and the decoding of dropped and pasted lines.
# Extra arguments go to the benchmark program (e.g. --benchmark_repetitions=5).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="${KLW_BUILD_DIR:-$root/build}/bench"

cmake -S "$root" -B "$build" -G Ninja -DKLW_BENCH=ON -DKLW_SANITIZE=OFF -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target stream_bench transfer_bench
"$build/bench/stream_bench" "$@"
"$build/bench/transfer_bench" "$@"
