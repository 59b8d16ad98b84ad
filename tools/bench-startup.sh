#!/usr/bin/env bash
# Times the real program under Wine on a virtual display, each figure beside its floor measured
# in the same run: from the start of the process to its visible window with a list file of
# 100,000 and of 1,000,000 entries, against a minimal window program that fills a bare list box
# with the same entries; and, inside one process, the save that the close handler makes, against
# reading the same entries back from a bare list box and writing the same bytes to a file with a
# flush and a rename. Goals: the start within 1.2 times its floor, the save within 1.5 times.
#   tools/bench-startup.sh [RUNS [ENTRIES...]]   (default 5 runs, 100000 1000000 entries;
#                                                 KLW_BUILD_DIR as for tools/test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
runs=${1:-5}
shift || true
"$root/tools/setup.sh"

cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" --target KorLinkWalker klw_probe >/dev/null
prefix="$build/win/prefix-bench"
"$root/tools/wineprefix.sh" "$prefix" 96 unmanaged
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8

start_virtual_display 80
work=$(mktemp -d /tmp/klw-bench.XXXXXX)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true

exe=$(winepath -w "$build/win/src/app/KorLinkWalker.exe" 2>/dev/null)
echo "KorLinkWalker under Wine ($(wine --version 2>/dev/null)), $runs runs each, in $work"
# Output to a file first: a pipe could be inherited by Wine's background processes.
(cd "$work" && wine "$build/win/tests/persist/klw_probe.exe" bench "$exe" "$runs" "$@" >"$work/bench.txt" 2>&1 </dev/null) || {
  cat "$work/bench.txt"
  exit 1
}
cat "$work/bench.txt"
