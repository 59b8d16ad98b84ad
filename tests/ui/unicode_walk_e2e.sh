#!/usr/bin/env bash
# Addresses in four scripts walked as a person walks them, on the real program under Wine with
# keys from xdotool, once under the Japanese system code page (932) and once under a Western one
# (1252): typed and added with Enter, opened one after another with Go (the shell's handler is
# the recorder, which logs the wide command line it gets as UTF-8), closed with Alt+F4. The saved
# file must hold the bytes the list file format prescribes, and the next start, under the other
# code page, must show the same entries and save the same bytes again.
#   unicode_walk_e2e.sh KorLinkWalker.exe klw_probe.exe klw_recorder.exe   (WINEPREFIX: the prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
recorder=$(realpath "$3")

work=$(mktemp -d /tmp/klw-unicode.XXXXXX)
logs=$(mktemp -d /tmp/klw-unicode-logs.XXXXXX)
recorder_log="$(dirname "$recorder")/klw-recorder.log"
temp_dirs=("$work" "$logs")
forget_place=1
saved_handlers=""
# Wine's output never goes through a pipe: a wineserver started here would inherit it.
wine_quiet() { LC_ALL=ja_JP.UTF-8 wine "$@" >>"$logs/wine.log" 2>&1 </dev/null; }

handler_key() { echo "HKCR\\$1\\shell\\open\\command"; }
# Gives the prefix its own handlers back.
restore_handlers() {
  if [ -n "$saved_handlers" ]; then
    for scheme in http https; do
      old=$(sed -n "s/^$scheme=//p" "$logs/handlers.txt")
      if [ -n "$old" ]; then
        wine_quiet reg add "$(handler_key "$scheme")" /ve /d "$old" /f || true
      else
        wine_quiet reg delete "$(handler_key "$scheme")" /f || true
      fi
    done
  fi
}
exit_hook=restore_handlers

own_display 72

# The recorder becomes the handler of http and https addresses.
: >"$logs/handlers.txt"
for scheme in http https; do
  LC_ALL=ja_JP.UTF-8 wine reg query "$(handler_key "$scheme")" /ve >"$logs/query.txt" 2>&1 </dev/null || true
  old=$(python3 -c 'import sys
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    parts = line.rstrip("\r\n").split("    ")
    if len(parts) >= 4 and parts[2] in ("REG_SZ", "REG_EXPAND_SZ"): print(parts[3])' "$logs/query.txt")
  echo "$scheme=$old" >>"$logs/handlers.txt"
done
saved_handlers=1
command="\"$(winepath -w "$recorder" 2>/dev/null)\" \"%1\""
for scheme in http https; do wine_quiet reg add "$(handler_key "$scheme")" /ve /d "$command" /f; done

wait_for() {  # LINE: until the probe shows it
  for _ in $(seq 80); do
    grep -qxF "$1" <<<"$(probe_state)" && return 0
    sleep 0.1
  done
  fail "never saw '$1': $(probe_state)"
}

# The list file for these entries at the design geometry, spelled out from the format: 7-bit
# entries as tag 6, every other one as tag 20 with each UTF-16 unit on its own as 1 to 3 bytes.
expected_image() {
  python3 - "$@" <<'PY'
import struct, sys
def short(b): return bytes([len(b)]) + b
def integer(v): return b"\x02" + struct.pack("<b", v) if -128 <= v <= 127 else b"\x03" + struct.pack("<h", v)
def text(s):
    if all(ord(c) < 0x80 for c in s):
        return b"\x06" + short(s.encode("ascii"))
    units = struct.unpack("<%dH" % (len(s.encode("utf-16-le")) // 2), s.encode("utf-16-le"))
    b = b"".join(chr(u).encode("utf-8", "surrogatepass") for u in units)
    return b"\x14" + struct.pack("<i", len(b)) + b
out = b"TPF0" + short(b"TListBox") + short(b"lbxURL")
out += short(b"Left") + integer(4) + short(b"Top") + integer(4)
out += short(b"Width") + integer(267) + short(b"Height") + integer(133)
out += short(b"Color") + b"\x07" + short(b"clWhite") + short(b"ItemHeight") + integer(12)
out += short(b"Items.Strings") + b"\x01" + b"".join(text(e) for e in sys.argv[1:]) + b"\x00"
out += short(b"TabOrder") + integer(2) + b"\x00\x00"
sys.stdout.buffer.write(out)
PY
}

addresses=("https://fr.wikipedia.org/wiki/Café" "https://ko.wikipedia.org/wiki/한국어"
  "https://example.com/🍣" "https://ja.wikipedia.org/wiki/日本語")
expected_image "${addresses[@]}" >"$logs/expected.dat"
# The rule spelled out once more by hand, for the two entries where it matters most: "é" as its
# two bytes, and U+1F363 as the two surrogates D83C and DF63, three bytes each.
python3 - "$logs/expected.dat" <<'PY' || fail "the expected image does not spell the rule"
import sys
image = open(sys.argv[1], "rb").read()
assert bytes.fromhex("14 23 00 00 00") + b"https://fr.wikipedia.org/wiki/Caf" + bytes.fromhex("c3 a9") in image
assert bytes.fromhex("14 1a 00 00 00") + b"https://example.com/" + bytes.fromhex("ed a0 bc ed bd a3") in image
PY

for run in "ja_JP.UTF-8 C.UTF-8" "C.UTF-8 ja_JP.UTF-8"; do
  read -r locale other <<<"$run"
  echo "== Typed, walked and saved under $locale; read again under $other"
  rm -f "$work"/* "$recorder_log"
  start_program "$locale"
  # xdotool types a character outside the keymap by remapping a spare key for it; a loaded
  # machine's Wine may take the key before it has read the new mapping, so keys come slowly.
  for a in "${addresses[@]}"; do
    xdotool type --delay 100 "$a"
    xdotool key Return
  done
  wait_for "count 4"
  state=$(probe_state)
  [ "$(grep '^item ' <<<"$state")" = "$(printf 'item %s\n' "${addresses[@]}")" ] ||
    fail "the typed addresses are not the entries: $state"
  # Tab to the list (over Go), Home selects the first entry, and Enter presses Go four times.
  xdotool windowfocus --sync "$wid"
  xdotool key Tab Tab Home
  wait_for "selected 0"
  for _ in 1 2 3 4; do
    xdotool key Return
    sleep 0.4
  done
  for _ in $(seq 100); do
    [ -f "$recorder_log" ] && [ "$(wc -l <"$recorder_log")" -ge 4 ] && break
    sleep 0.1
  done
  [ -f "$recorder_log" ] || fail "the shell's handler was never started"
  # Handlers started one after another may log out of order; each must arrive exactly once.
  [ "$(sort "$recorder_log")" = "$(printf '%s\n' "${addresses[@]}" | sort)" ] ||
    fail "the handler received: $(cat "$recorder_log")"
  close_program
  cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "the saved file differs from the format"

  start_program "$other"
  state=$(probe_state)
  [ "$(grep -E '^(count|selected|item) ' <<<"$state")" = \
    "$(printf 'count 4\nselected 0\n'; printf 'item %s\n' "${addresses[@]}")" ] ||
    fail "under $other the list is not as saved: $state"
  close_program
  cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "saved again under $other, the file changed"
done
echo "1 passed, 0 failed"
