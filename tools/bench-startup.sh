#!/usr/bin/env bash
# Times the real program under Wine on a virtual display, each figure beside its floor measured
# in the same run: from the start of the process to its visible window with a list file of
# 100,000 and of 1,000,000 entries, against a minimal window program that fills a bare list box
# with the same entries; and, inside one process, the save that the close handler makes, against
# reading the same entries back from a bare list box and writing the same bytes to a file with a
# flush and a rename. Goals: the start within 1.2 times its floor, the save within 1.5 times.
# Beside it, what a save after a change costs the window's thread (the snapshot of the list and
# the start of the save's own thread), and the whole of that save.
# Then the list's changes in the running program, driven from outside: a Delete, its undo, the
# longest the window's thread is held while the saves after them start, the peak memory; beside
# the same for today's build when KLW_BASELINE_EXE names its KorLinkWalker.exe (build origin/main
# into a second tree for it).
# Last, the time of one Go (median of 20), which waits until the shell's handler has taken the
# address over: with the test recorder as the http handler and with the prefix's own winebrowser
# (handing the address to a stand-in xdg-open), each beside a bare ShellExecuteW call.
#   tools/bench-startup.sh [RUNS [ENTRIES...]]   (default 5 runs, 1000 10000 100000 1000000 entries;
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
cmake --build "$build/win" --target KorLinkWalker klw_probe klw_recorder >/dev/null
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

today=""
[ -n "${KLW_BASELINE_EXE:-}" ] && today=$(winepath -w "$KLW_BASELINE_EXE" 2>/dev/null)
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 100000 1000000)
(cd "$work" && wine "$build/win/tests/persist/klw_probe.exe" editbench "$exe" ${today:+"$today"} "${sizes[@]}" >"$work/edits.txt" 2>&1 </dev/null) || true
cat "$work/edits.txt"

echo
echo "-- Go: ShellExecuteExW, then the wait until the handler has the address (20 runs each)"
handler_key='HKCR\http\shell\open\command'
wine reg query "$handler_key" /ve >"$work/handler.txt" 2>&1 </dev/null || true
own=$(python3 -c 'import sys
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    parts = line.rstrip("\r\n").split("    ")
    if len(parts) >= 4 and parts[2] in ("REG_SZ", "REG_EXPAND_SZ"): print(parts[3])' "$work/handler.txt")
recorder=$(winepath -w "$build/win/tests/klw_recorder.exe" 2>/dev/null)
wine reg add "$handler_key" /ve /d "\"$recorder\" \"%1\"" /f >/dev/null 2>&1 </dev/null
(cd "$work" && wine "$build/win/tests/persist/klw_probe.exe" gobench "the recorder" 20 >"$work/go.txt" 2>&1 </dev/null) || true
cat "$work/go.txt"
wine reg add "$handler_key" /ve /d "$own" /f >/dev/null 2>&1 </dev/null
# winebrowser hands the address to the desktop's xdg-open: here a stand-in that only logs it.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/xdg-open.log"
EOF
chmod +x "$work/bin/xdg-open"
(cd "$work" && PATH="$work/bin:$PATH" wine "$build/win/tests/persist/klw_probe.exe" gobench "winebrowser" 20 >"$work/go.txt" 2>&1 </dev/null) || true
cat "$work/go.txt"
echo "(xdg-open received $(wc -l <"$work/xdg-open.log" 2>/dev/null || echo 0) addresses)"
