#!/usr/bin/env bash
# Undo and redo of the list's changes on the real program under Wine, with keys and clicks from
# xdotool: an entry deleted by mistake comes back with Ctrl+Z at its place, selected, with the
# buttons as before the Delete, and goes again with Ctrl+Y; Alt+Backspace undoes too and leaves
# the menu bar alone; a drop of three links from X goes back at once; in the entry field Ctrl+Z
# undoes the typing only; and 1.5 s after an undo the list file holds the list after the undo,
# byte for byte.
#   undo_e2e.sh KorLinkWalker.exe klw_probe.exe        (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders undo
own_display 86

# expect_list SELECTED ENTRY...: waits until the list holds exactly these, SELECTED selected.
expect_list() {
  local selected=$1 got="" want
  shift
  want=$(printf 'count %d\nselected %d\n' "$#" "$selected"; [ $# -eq 0 ] || printf 'item %s\n' "$@")
  for _ in $(seq 80); do
    got=$(grep -E '^(count|selected|item) ' <<<"$(probe_state)")
    [ "$got" = "$want" ] && return
    sleep 0.1
  done
  fail "expected the list: $(tr '\n' '|' <<<"$want") but it is: $(tr '\n' '|' <<<"$got")"
}
# expect_buttons GO ADD UP DOWN DELETE: the buttons' states, 1 for enabled.
expect_buttons() {
  local want got
  want=$(printf 'enabled Go %s\nenabled Add %s\nenabled Up %s\nenabled Down %s\nenabled Delete %s' "$@")
  got=$(grep -E '^enabled (Go|Add|Up|Down|Delete) ' <<<"$(probe_state)" | sort -k2)
  [ "$got" = "$(sort -k2 <<<"$want")" ] || fail "buttons: $(tr '\n' '|' <<<"$got")"
}
# Tab until the list has the focus, each Tab given time to arrive before the focus is read.
focus_list() {
  for _ in 1 2 3 4 5 6 7; do
    grep -qx "focus ListBox" <<<"$(probe_state)" && return
    xdotool key Tab
    sleep 0.4
  done
  fail "Tab never reached the list"
}
# The file the program writes for these entries, spelled out, against the one on disk.
expect_file() {
  image "$@" >"$logs/expected.dat"
  cmp "$logs/expected.dat" "$work/korlinkwalker.dat" ||
    fail "the list file is not the list: $(od -c "$work/korlinkwalker.dat" | tail -5)"
}

a="http://a.example/"
b="http://b.example/"
c="http://c.example/"

echo "== Three entries added; the second deleted by mistake"
forget_stored_place
start_program
for e in "$a" "$b" "$c"; do
  xdotool type --delay 20 "$e"
  xdotool key Return
done
expect_list 2 "$a" "$b" "$c"
focus_list
xdotool key Up
expect_list 1 "$a" "$b" "$c"
click_button Delete
expect_list 1 "$a" "$c"
ok "Delete took the second entry out"

echo "== Ctrl+Z on the Delete button brings it back; Ctrl+Y deletes it again"
xdotool key --clearmodifiers ctrl+z
expect_list 1 "$a" "$b" "$c"
expect_buttons 1 0 1 1 1
ok "Ctrl+Z: the entry back at its place, selected, the buttons as before the Delete"
xdotool key --clearmodifiers ctrl+y
expect_list 1 "$a" "$c"
expect_buttons 1 0 1 0 1
ok "Ctrl+Y: deleted again, the next entry selected"
xdotool key --clearmodifiers ctrl+shift+z ctrl+z
expect_list 1 "$a" "$b" "$c"
ok "Ctrl+Shift+Z does nothing with nothing to redo; Ctrl+Z undoes again"

echo "== 1.5 s after the undo the file holds the list after it"
sleep 1.5
expect_file "$a" "$b" "$c"
ok "the saved file is byte for byte the list after the undo"

echo "== Alt+Backspace undoes, and the Alt released after it opens no menu"
focus_list
xdotool key --clearmodifiers ctrl+y
expect_list 1 "$a" "$c"
xdotool key --clearmodifiers alt+BackSpace
expect_list 1 "$a" "$b" "$c"
# With the menu bar active the arrow would open a menu instead of moving the selection.
xdotool key Down
expect_list 2 "$a" "$b" "$c"
ok "Alt+Backspace undid the Delete, and the arrow after it went on to the list"

echo "== A drop of three links from X goes back at once"
point=$(awk '{print int(($(NF-3) + $(NF-1)) / 2) "," int(($(NF-2) + $NF) / 2)}' <<<"$(grep '^list-rect ' <<<"$(probe_state)")")
# Typed by xdotool, characters outside ASCII can go astray; dropped, they arrive as bytes.
drops=("https://drop.example/1" "https://ja.wikipedia.org/wiki/日本語" "https://drop.example/3")
hex=$(printf '%s\n' "${drops[@]}" | od -An -tx1 | tr -d ' \n')
/usr/bin/python3 "$e2e_support/xdnd_source.py" "$logs/xdnd.log" "$wid" "$point" \
  --offer "text/plain;charset=utf-8" "$hex" --offer UTF8_STRING "$hex" ||
  fail "the X drag did not run to its end: $(cat "$logs/xdnd.log")"
expect_list 5 "$a" "$b" "$c" "${drops[@]}"
focus_list
xdotool key --clearmodifiers ctrl+z
expect_list 2 "$a" "$b" "$c"
ok "the three dropped links went with one Ctrl+Z, the selection back where it was"
xdotool key --clearmodifiers ctrl+y
expect_list 5 "$a" "$b" "$c" "${drops[@]}"
sleep 1.5
expect_file "$a" "$b" "$c" "${drops[@]}"
xdotool key --clearmodifiers ctrl+z
expect_list 2 "$a" "$b" "$c"
ok "and came back with one Ctrl+Y, in the file 1.5 s later, Japanese included"

echo "== In the field Ctrl+Z undoes the typing only"
click_center field-rect
xdotool type --delay 20 "typing"
wait_for "field typing"
xdotool key --clearmodifiers ctrl+z
wait_for "field "
expect_list 2 "$a" "$b" "$c"
ok "Ctrl+Z in the field took the typing back and left the list"

sleep 1.5
expect_file "$a" "$b" "$c"
close_program
expect_file "$a" "$b" "$c"
ok "the list file after the close"
echo "undo: $checks checks passed"
