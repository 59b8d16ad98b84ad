#!/usr/bin/env bash
# Takes the screenshots of docs/walk.md and the README's: runs the real KorLinkWalker.exe under
# Wine on a virtual display of its own, drives it with xdotool and crops each shot to the window.
#   tools/walk-screenshots.sh [OUTPUT_DIR]     (default docs/img; needs a built Windows tree)
# The shell's http handler in the private prefix is the test recorder, so Go opens no browser.
# The README's shot comes from a second prefix where Wine draws the window's frame itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs/img}")
exe="$build/win/src/app/KorLinkWalker.exe"
recorder="$build/win/tests/klw_recorder.exe"
[ -f "$exe" ] && [ -f "$recorder" ] || { echo "build the Windows tree first" >&2; exit 1; }
mkdir -p "$out"

export WINEPREFIX="$build/shots-prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
"$root/tools/wineprefix.sh" "$WINEPREFIX" 96

start_screenshot_session 60 1024x768

wine reg add 'HKCR\http\shell\open\command' /ve /f \
  /d "\"$(winepath -w "$recorder" 2>/dev/null)\" \"%1\"" >"$work/reg.log" 2>&1 </dev/null
# A fixed place for the window, so that the shots look alike from run to run.
wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Top /t REG_DWORD /d 40 /f >>"$work/reg.log" 2>&1 </dev/null
wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Left /t REG_DWORD /d 40 /f >>"$work/reg.log" 2>&1 </dev/null

log="$(dirname "$recorder")/klw-recorder.log"
rm -f "$log"
(cd "$work" && exec wine "$exe" >"$work/app.log" 2>&1 </dev/null) &
app_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --name "^KORVANE LINKWALKER$" 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$wid"

shot() {
  sleep 0.4
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
  echo "$out/$1"
}
# A point of the client area. Without a window manager the X window holds the menu bar and the
# client area only, the client area at its bottom.
click_at() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove "$((X + $1))" "$((Y + HEIGHT - 165 + $2))" click 1
}

xdotool type --delay 30 "http://example.com/first"
shot walk-1-typed.png
xdotool key Return
xdotool type --delay 30 "http://example.com/second"
xdotool key Return
xdotool type --delay 30 "http://example.com/third"
xdotool key Return
shot walk-2-added.png
click_at 40 10   # the first entry of the list
xdotool key Return
sleep 1
shot walk-3-go.png
xdotool key Return
xdotool key Return
sleep 1
shot walk-4-end.png
xdotool key Tab      # Add is disabled: Up takes the focus
xdotool key space
shot walk-5-up.png
echo "opened:"
cat "$log" 2>/dev/null || true
xdotool key --clearmodifiers alt+F4
wait "$app_pid" || true
app_pid=""
wineserver -k >/dev/null 2>&1 || true

# The README's shot: Wine draws the frame, with its caption buttons (fonts-wine's Marlett).
export WINEPREFIX="$build/shots-prefix-framed"
"$root/tools/wineprefix.sh" "$WINEPREFIX" 96 unmanaged
wineserver -p >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Top /t REG_DWORD /d 40 /f >>"$work/reg.log" 2>&1 </dev/null
wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Left /t REG_DWORD /d 40 /f >>"$work/reg.log" 2>&1 </dev/null
mkdir "$work/readme"
(cd "$work/readme" && exec wine "$exe" >"$work/app2.log" 2>&1 </dev/null) &
app_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name "^KORVANE LINKWALKER$" 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$wid"
xdotool type --delay 30 "http://www.example.com/"
xdotool key Return
xdotool type --delay 30 "http://www.example.org/news"
xdotool key Return
xdotool type --delay 30 "https://ja.wikipedia.org/"
shot main-window.png
