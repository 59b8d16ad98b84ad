#!/usr/bin/env bash
# Takes docs/walk.md's shots of every script: the real KorLinkWalker.exe under Wine on a virtual
# display of its own, with a list of addresses in eleven scripts, Thai, Hebrew and an emoji typed
# into the entry field and the pointer resting on the cut-off Thai address, so that its tooltip
# shows it whole; once under the Japanese code page (932) and once under a Western one (1252).
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
  "https://el.wikipedia.org/wiki/Ελλάς_Русь" "https://ja.wikipedia.org/wiki/日本語" \
  "https://zh.wikipedia.org/wiki/汉语" "https://ko.wikipedia.org/wiki/한국어" \
  "https://th.wikipedia.org/wiki/กรุงเทพมหานคร?id=0123456789" "https://ar.wikipedia.org/wiki/القاهرة" \
  "https://he.wikipedia.org/wiki/ירושלים" "https://hi.wikipedia.org/wiki/हिन्दी" \
  "https://news.example/🍣" >"$work/korlinkwalker.dat"

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
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  # The Thai row, the sixth: the list's first row begins 47 pixels below the window's top.
  xdotool mousemove $((X + 60)) $((Y + 47 + 5 * 12 + 6))
  sleep 1.5
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/scripts-$cp.png"
  xdotool mousemove 0 0
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
