#!/usr/bin/env bash
# Takes the screenshots of the window and of the error box on a Western system (ANSI code page
# 1252, LC_ALL=C.UTF-8): the real KorLinkWalker.exe under Wine on a virtual display of its own,
# with Wine drawing the frames.
#   tools/code-page-screenshots.sh [OUTPUT_DIR]     (default docs/img; needs a built Windows tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs/img}")
exe="$build/win/src/app/KorLinkWalker.exe"
[ -f "$exe" ] || { echo "build the Windows tree first" >&2; exit 1; }
mkdir -p "$out"

export WINEPREFIX="$build/shots-1252-prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
"$root/tools/wineprefix.sh" "$WINEPREFIX" 96 unmanaged

start_screenshot_session 62 800x600
place_window_at_40

# The window: a list in four scripts, saved by the program itself on an earlier run, and an
# address being typed.
mkdir "$work/list" "$work/broken"
python3 - "$work/list/korlinkwalker.dat" <<'PY'
import struct, sys
def short(b): return bytes([len(b)]) + b
def text(s):
    if all(ord(c) < 0x80 for c in s): return b"\x06" + short(s.encode())
    units = struct.unpack("<%dH" % (len(s.encode("utf-16-le")) // 2), s.encode("utf-16-le"))
    b = b"".join(chr(u).encode("utf-8", "surrogatepass") for u in units)
    return b"\x14" + struct.pack("<i", len(b)) + b
entries = ["https://fr.wikipedia.org/wiki/Café", "https://ko.wikipedia.org/wiki/한국어",
           "https://ru.wikipedia.org/wiki/Москва", "https://ja.wikipedia.org/wiki/日本語"]
image = (b"TPF0" + short(b"TListBox") + short(b"lbxURL") + short(b"Left") + b"\x02\x04" +
         short(b"Top") + b"\x02\x04" + short(b"Width") + b"\x03\x0b\x01" + short(b"Height") +
         b"\x03\x85\x00" + short(b"Color") + b"\x07" + short(b"clWhite") +
         short(b"ItemHeight") + b"\x02\x0c" + short(b"Items.Strings") + b"\x01" +
         b"".join(text(e) for e in entries) + b"\x00" + short(b"TabOrder") + b"\x02\x02\x00\x00")
open(sys.argv[1], "wb").write(image)
PY
# An unreadable list file: it breaks off inside its entries.
printf 'TPF0\x08TListBox\x06lbxURL\x0dItems.Strings\x01\x06\x05ab' >"$work/broken/korlinkwalker.dat"

wait_window() {  # NAME
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no window $1" >&2; exit 1; }
}
shot() {  # FILE
  sleep 0.6
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
  echo "$out/$1"
}

(cd "$work/list" && exec wine "$exe" >"$work/app.log" 2>&1 </dev/null) &
app_pid=$!
wait_window '^KORVANE LINKWALKER$'
xdotool windowfocus --sync "$wid"
xdotool type --delay 30 "https://de.wikipedia.org/wiki/Köln"
shot cp1252-window.png
xdotool key --clearmodifiers alt+F4
wait "$app_pid" || true

(cd "$work/broken" && exec wine "$exe" >"$work/app.log" 2>&1 </dev/null) &
app_pid=$!
wait_window '^Korlinkwalker$'
shot cp1252-error-box.png
xdotool windowfocus --sync "$wid" key Return
wait_window '^KORVANE LINKWALKER$'
xdotool windowfocus --sync "$wid" key --clearmodifiers alt+F4
wait "$app_pid" || true
app_pid=""
