#!/usr/bin/env bash
# Takes docs/walk.md's shots of every script: the real KorLinkWalker.exe under Wine on a virtual
# display of its own, with a list of addresses in eleven scripts and an emoji typed into the
# entry field, once under the Japanese code page (932) and once under a Western one (1252).
#   tools/script-screenshots.sh [OUTPUT_DIR]     (default docs/img; needs a built Windows tree)
# KLW_DISPLAY: the first display number to try (default 64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs/img}")
exe="$build/win/src/app/KorLinkWalker.exe"
[ -f "$exe" ] || { echo "build the Windows tree first" >&2; exit 1; }
mkdir -p "$out"

export WINEPREFIX="$build/shots-scripts-prefix" WINEDEBUG=-all
"$root/tools/wineprefix.sh" "$WINEPREFIX" 96 unmanaged

start_screenshot_session "${KLW_DISPLAY:-64}" 800x600
place_window_at_40

python3 "$root/tests/support/list_image.py" "https://example.com/Café" \
  "https://example.com/Ελλάς_Русь" "https://example.com/日本語" "https://example.com/汉语" \
  "https://example.com/한국어" "https://example.com/ภาษาไทย" "https://example.com/العربية" \
  "https://example.com/עברית" "https://example.com/हिन्दी" "https://example.com/🍣" >"$work/korlinkwalker.dat"

for run in "932 ja_JP.UTF-8" "1252 C.UTF-8"; do
  read -r cp locale <<<"$run"
  (cd "$work" && LC_ALL=$locale exec wine "$exe" >"$work/app.log" 2>&1 </dev/null) &
  app_pid=$!
  wid=""
  for _ in $(seq 300); do
    wid=$(xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "the window did not appear" >&2; exit 1; }
  xdotool windowfocus --sync "$wid"
  xdotool type --delay 100 "ภาษาไทย עברית 🍣"
  sleep 0.8
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/scripts-$cp.png"
  echo "$out/scripts-$cp.png"
  # Killed: the list stays as it was read.
  kill "$app_pid" >/dev/null 2>&1 || true
  wait "$app_pid" || true
  app_pid=""
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' >/dev/null 2>&1 || break
    sleep 0.1
  done
done
