#!/usr/bin/env bash
# Copying an entry out and the list's context menu, on the real program under Wine with keys and
# clicks from xdotool, under the Japanese and a Western system code page. Ctrl+C and Ctrl+Insert
# put the selected entry on the clipboard: read back by another Windows program (the probe) in
# each text format and by X programs (xclip), byte for byte; with no entry the clipboard stays
# as it was. A right-click selects the entry as a click does and opens the menu; its items are
# read from the platform's menu window, each is chosen (Copy, Open through the recorder as the
# shell's http handler, Delete), and Shift+F10 and the Menu key open it at the selected row.
# With KLW_MENU_SHOTS=DIR the menu's screenshots are kept there (docs/walk.md shows them).
#   list_menu_e2e.sh KorLinkWalker.exe klw_probe.exe klw_recorder.exe [undo]
#                                                              (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2" "$3"
command -v xclip >/dev/null || fail "xclip is missing (tools/setup.sh installs it)"

test_folders menu
exit_hook=stop_xclip
own_display 76

recorder_opens

japanese="https://例え.jp/?q=日本語"
emoji="https://e.example/😀?t=é"
plain="https://c.example/"

# The clipboard as the probe reads it (lines "unicode", "text", "oemtext", "locale").
clip_state() {
  rm -f "$logs/clip.txt"
  probe_to clipboard clip.txt
  cat "$logs/clip.txt" 2>/dev/null || true
}

# expect_clipboard TEXT ANSI-HEX CODEPAGE: both sides of the clipboard hold exactly TEXT.
expect_clipboard() {
  local text=$1 ansi=$2 codepage=$3 state=""
  await_line clip_state "unicode $text" 30 || fail "the clipboard holds, for Windows: $state"
  grep -qxF "text $ansi" <<<"$state" || fail "CF_TEXT is not '$ansi': $state"
  grep -qxF "locale $codepage" <<<"$state" || fail "CF_LOCALE is not of $codepage: $state"
  printf '%s' "$text" >"$logs/expected.txt"
  xclip -selection clipboard -o >"$logs/x.txt" 2>>"$logs/xclip.log" || true
  cmp -s "$logs/expected.txt" "$logs/x.txt" ||
    fail "X programs read $(od -An -tx1 "$logs/x.txt" | head -3)"
  ok "the clipboard holds '$text' for Windows (CF_TEXT and CF_LOCALE of $codepage) and for X"
}

# The popup menu that is up, once it is: its lines from the probe.
menu_state() {
  local state=""
  for _ in $(seq 40); do
    rm -f "$logs/menu.txt"
    probe_to menu menu.txt
    state=$(cat "$logs/menu.txt" 2>/dev/null || true)
    [ -n "$state" ] && break
    sleep 0.1
  done
  [ -n "$state" ] || fail "no menu came up"
  echo "$state"
}

# expect_menu UNDO REDO COPY OPEN DELETE: the menu's items, each "item" or "grey". Wine lets no
# other process read a menu's items (the probe finds the menu window, not its items): they are
# read from the screen, with the pointer away from the menu so that no item is highlighted.
expect_menu() {
  local state left top right bottom expected
  state=$(menu_state)
  read -r _ left top right bottom < <(grep '^rect ' <<<"$state")
  xdotool mousemove --sync 1200 1000
  sleep 0.3
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" -depth 8 "$logs/menu.ppm"
  expected=$(printf '%s\n' "$1" "$2" - "$3" "$4" "$5")
  [ "$(python3 "$(dirname "$0")/../support/menu_items.py" "$logs/menu.ppm")" = "$expected" ] ||
    fail "the menu shows: $(python3 "$(dirname "$0")/../support/menu_items.py" "$logs/menu.ppm" | tr '\n' ' ')"
  ok "the menu's items: Undo $1, Redo $2, Copy $3, Open $4, Delete $5"
}

# The menu's top-left corner on the screen.
menu_corner() { grep '^rect ' <<<"$(menu_state)" | cut -d' ' -f2,3; }

# Screen point X Y inside the list (rows are 12 pixels high).
list_point() {
  local left top
  read -r _ left top _ _ < <(grep "^list-rect " <<<"$(probe_state)")
  echo "$((left + 2 + $1)) $((top + 2 + $2))"
}

right_click_row() {
  local x y
  read -r x y < <(list_point 20 $(($1 * 12 + 6)))
  xdotool mousemove --sync "$x" "$y" click 3
}

# With "undo" as the fourth argument, only the menu's Undo after a Delete (under 932): it needs
# the list's history of changes, and fails in a build that has none.
if [ "${4:-}" = undo ]; then
  export LC_ALL=ja_JP.UTF-8
  echo "== The menu's Undo brings a deleted entry back"
  image "$japanese" "$emoji" "$plain" >"$work/korlinkwalker.dat"
  start_program
  wait_for "selected 0"
  right_click_row 1
  expect_menu grey grey item item item
  xdotool key d
  wait_for "count 2"
  right_click_row 0
  expect_menu item grey item item item
  ok "Undo is greyed before the Delete and offered after it"
  xdotool key u
  wait_for "count 3"
  state=$(probe_state)
  [ "$(grep '^item ' <<<"$state")" = "$(printf 'item %s\n' "$japanese" "$emoji" "$plain")" ] ||
    fail "after the Undo: $state"
  grep -qxF "selected 1" <<<"$state" || fail "the entry brought back is not selected: $state"
  ok "Undo brought the entry back at its place, selected"
  right_click_row 1
  expect_menu grey item item item item
  ok "Redo is offered after the Undo"
  xdotool key Escape
  close_program
  echo "$checks passed, 0 failed"
  exit 0
fi

for run in "ja_JP.UTF-8 932" "C.UTF-8 1252"; do
  read -r locale codepage <<<"$run"
  export LC_ALL=$locale
  if [ "$codepage" = 932 ]; then
    japanese_ansi="68 74 74 70 73 3a 2f 2f 97 e1 82 a6 2e 6a 70 2f 3f 71 3d 93 fa 96 7b 8c ea"
    # No emoji in either code page: one "?" per UTF-16 unit. Code page 932 writes é as its
    # nearest letter, e.
    emoji_ansi="68 74 74 70 73 3a 2f 2f 65 2e 65 78 61 6d 70 6c 65 2f 3f 3f 3f 74 3d 65"
  else
    japanese_ansi="68 74 74 70 73 3a 2f 2f 3f 3f 2e 6a 70 2f 3f 71 3d 3f 3f 3f"
    emoji_ansi="68 74 74 70 73 3a 2f 2f 65 2e 65 78 61 6d 70 6c 65 2f 3f 3f 3f 74 3d e9"
  fi
  rm -f "$work"/* "$recorder_log"

  echo "== $codepage: an empty list copies nothing"
  start_program "$locale"
  x_clipboard "kept from X"
  xdotool windowfocus --sync "$wid"
  # Go is disabled: Tab goes from the field straight to the list.
  xdotool key Tab
  wait_for "focus ListBox"
  xdotool key ctrl+c ctrl+Insert
  sleep 0.5
  [ "$(xclip -selection clipboard -o)" = "kept from X" ] || fail "the X clipboard changed"
  grep -qxF "unicode kept from X" <<<"$(clip_state)" || fail "the clipboard changed: $(clip_state)"
  ok "Ctrl+C and Ctrl+Insert without an entry leave the clipboard as it was"
  close_program

  echo "== $codepage: Ctrl+C and Ctrl+Insert copy the selected entry"
  image "$japanese" "$emoji" "$plain" >"$work/korlinkwalker.dat"
  start_program "$locale"
  wait_for "selected 0"
  xdotool windowfocus --sync "$wid"
  xdotool key Tab Tab
  wait_for "focus ListBox"
  xdotool key ctrl+c
  expect_clipboard "$japanese" "$japanese_ansi" "$codepage"
  xdotool key Down ctrl+Insert
  expect_clipboard "$emoji" "$emoji_ansi" "$codepage"

  echo "== $codepage: a right-click selects the entry as a click does and opens the menu"
  # Text in the field disables Go and Delete; the click's command-state refresh enables them.
  xdotool key shift+Tab shift+Tab
  wait_for "focus Edit"
  xdotool type --delay 50 "x"
  wait_for "enabled Delete 0"
  right_click_row 2
  expect_menu grey grey item item item
  read -r mx my < <(list_point 20 30)
  [ "$(menu_corner)" = "$mx $my" ] || fail "the menu is at $(menu_corner), not at $mx $my"
  ok "the menu opens at the pointer"
  state=$(probe_state)
  for line in "selected 2" "enabled Go 1" "enabled Delete 1" "enabled Down 0" "focus ListBox"; do
    grep -qxF "$line" <<<"$state" || fail "after the right-click, not '$line': $state"
  done
  ok "the right-clicked entry is selected and the command states were refreshed"
  if [ -n "${KLW_MENU_SHOTS:-}" ]; then
    mkdir -p "$KLW_MENU_SHOTS"
    import -window root -crop 420x260+0+0 "$KLW_MENU_SHOTS/list-menu-$codepage.png"
  fi
  xdotool key Escape
  sleep 0.3

  echo "== $codepage: Shift+F10 and the Menu key open it at the selected row"
  xdotool key Home
  wait_for "selected 0"
  read -r _ rx _ _ ry < <(grep '^selected-row ' <<<"$(probe_state)")
  rx=$((rx + 8))
  for keys in shift+F10 Menu; do
    xdotool key "$keys"
    expect_menu grey grey item item item
    [ "$(menu_corner)" = "$rx $ry" ] || fail "$keys: the menu is at $(menu_corner), not at $rx $ry"
    xdotool key Escape
    sleep 0.3
    [ -z "$(probe_to menu menu.txt; cat "$logs/menu.txt")" ] || fail "$keys: a menu is still up"
    # No menu bar either: Down moves the selection.
    xdotool key Down
    wait_for "selected 1"
    xdotool key Home
    wait_for "selected 0"
    ok "$keys opens the menu under the selected row, once"
  done

  echo "== $codepage: each item does what its key or button does"
  x_clipboard "before"
  right_click_row 0
  menu_state >/dev/null
  xdotool key c
  expect_clipboard "$japanese" "$japanese_ansi" "$codepage"
  right_click_row 2
  menu_state >/dev/null
  xdotool key o
  wait_lines "$recorder_log" 1
  [ "$(cat "$recorder_log")" = "$plain" ] || fail "the shell's handler received: $(cat "$recorder_log")"
  ok "Open handed the entry to the shell's handler, as Go does"
  right_click_row 1
  menu_state >/dev/null
  xdotool key d
  wait_for "count 2"
  state=$(probe_state)
  [ "$(grep '^item ' <<<"$state")" = "$(printf 'item %s\n' "$japanese" "$plain")" ] ||
    fail "Delete left: $state"
  ok "Delete removed the right-clicked entry"
  close_program
done
echo "$checks passed, 0 failed"
