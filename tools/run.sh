#!/usr/bin/env bash
# Builds KorLinkWalker.exe and starts it under Wine, in the current directory (where it keeps
# korlinkwalker.dat). On your X display when there is one; otherwise on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
"$root/tools/setup.sh"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" --target KorLinkWalker

xvfb_pid=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prefix="$build/win/prefix-run"
  "$root/tools/wineprefix.sh" "$prefix" 96
else
  prefix="$build/win/prefix-run-virtual"
  start_virtual_display 90
  trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" >/dev/null 2>&1 || true' EXIT
  "$root/tools/wineprefix.sh" "$prefix" 96 unmanaged
  echo "No X display found: KorLinkWalker runs on the virtual display $DISPLAY."
  echo "  Look at it:   import -display $DISPLAY -window root shot.png"
  echo "  Type into it: DISPLAY=$DISPLAY xdotool search --name 'KORVANE LINKWALKER' windowfocus --sync type 'http://example.com/'"
  echo "  It ends when its window is closed (for example: DISPLAY=$DISPLAY xdotool key alt+F4)."
fi
echo "Starting KorLinkWalker in $(pwd) (Wine prefix $prefix)"
# No menu builder: it would write desktop entries and icons into the user's folders.
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Closing the terminal saves the list as Ctrl+C does.
source "$root/tools/orderly-end.sh"
run_to_orderly_end wine "$build/win/src/app/KorLinkWalker.exe"
