#!/usr/bin/env bash
# Times the real program under Wine on a virtual display, in one run: from the start of the
# process to its visible window with no list file and with a list file of 100,000 entries, the
# close of each (WM_CLOSE to the end of the process), and, inside one process, the save of the
# 100,000 entries that the close handler makes. Goals: the start with 100,000 entries within 3
# times the empty start; the save under 200 ms.
#   tools/bench-startup.sh [RUNS]        (default 5; KLW_BUILD_DIR as for tools/test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
runs=${1:-5}
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
(cd "$work" && wine "$build/win/tests/persist/klw_probe.exe" bench "$exe" "$runs" >"$work/bench.txt" 2>&1 </dev/null) || {
  cat "$work/bench.txt"
  exit 1
}
cat "$work/bench.txt"
