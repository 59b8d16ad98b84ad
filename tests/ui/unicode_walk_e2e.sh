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
program_test "$1" "$2" "$3"

test_folders unicode
own_display 72

# The recorder becomes the handler of http and https addresses.
recorder_opens

# Types TEXT into the empty entry field. xdotool gives each character that the keyboard lacks a
# spare key for the moment, and on a busy machine a key can reach the program before its new
# meaning: so keys come slowly, and when characters were lost all the same the field is emptied
# and the text typed again (at most three times, each said).
type_field() {
  for _ in 1 2 3; do
    xdotool type --delay 100 "$1"
    for _ in $(seq 10); do
      grep -qxF "field $1" <<<"$(probe_state)" && return 0
      sleep 0.1
    done
    echo "xdotool lost characters ($(grep '^field ' "$logs/state.txt")): typed again" >&2
    xdotool windowfocus --sync "$wid"
    xdotool key End shift+Home BackSpace
  done
  fail "the field never showed the typed $1"
}

addresses=("https://fr.wikipedia.org/wiki/Café" "https://ko.wikipedia.org/wiki/한국어"
  "https://example.com/🍣" "https://ja.wikipedia.org/wiki/日本語")
image "${addresses[@]}" >"$logs/expected.dat"
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
  for a in "${addresses[@]}"; do
    type_field "$a"
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
  # Each Go returns once its handler has the address: once each, in list order.
  [ "$(cat "$recorder_log")" = "$(printf '%s\n' "${addresses[@]}")" ] ||
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
