#!/usr/bin/env bash
# A paste that leaves the entry field's text as it was is a change of the text all the same, on
# the real program under Wine with keys and clicks from xdotool and the X clipboard from xclip:
# two addresses added, "abc" typed, a click on an entry (Go and Delete enabled next to Add), the
# whole field selected and "abc" pasted from the X clipboard. The field rule must then have run:
# Go and Delete disabled, Add enabled. Before that, a paste of other text shows that the X
# clipboard reaches the field at all.
#   paste_e2e.sh KorLinkWalker.exe klw_probe.exe        (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8
command -v xclip >/dev/null || fail "xclip is missing (tools/setup.sh installs it)"

test_folders paste
exit_hook=stop_xclip

own_display 74

# Waits until the probe shows every line given.
wait_state() {
  local state=""
  for _ in $(seq 80); do
    state=$(probe_state)
    local missing=0
    for line in "$@"; do grep -qxF "$line" <<<"$state" || missing=1; done
    [ "$missing" -eq 0 ] && return
    sleep 0.1
  done
  fail "expected $*: $state"
}

# Clicks at X Y inside a rectangle line of the probe ("NAME LEFT TOP RIGHT BOTTOM").
click_in() {
  local left top
  read -r _ left top _ _ < <(grep "^$1 " <<<"$(probe_state)")
  xdotool mousemove --sync $((left + $2)) $((top + $3)) click 1
}

# Selects the whole field with the keys a person uses.
select_field() {
  click_in field-rect 8 6
  xdotool key --clearmodifiers End shift+Home
}

echo "== Two addresses added, then \"abc\" typed"
forget_stored_place
start_program
for a in "http://a.example/" "http://b.example/"; do
  xdotool type --delay 30 "$a"
  xdotool key Return
done
wait_state "count 2"
xdotool type --delay 30 "abc"
wait_state "field abc" "enabled Go 0" "enabled Add 1" "enabled Delete 0"

echo "== A paste from the X clipboard reaches the field"
x_clipboard "xyz"
select_field
xdotool key --clearmodifiers ctrl+v
wait_state "field xyz"
select_field
xdotool type --delay 30 "abc"
wait_state "field abc"

echo "== A click on an entry, then \"abc\" pasted over the whole field"
# The list's rows are 12 pixels high: the first entry.
click_in list-rect 20 8
wait_state "selected 0" "enabled Go 1" "enabled Add 1" "enabled Delete 1"
x_clipboard "abc"
select_field
xdotool key --clearmodifiers ctrl+v
wait_state "field abc" "enabled Go 0" "enabled Add 1" "enabled Up 0" "enabled Down 0" "enabled Delete 0"
echo "Go and Delete disabled, Add enabled: the field rule ran for the paste"
close_program
echo "1 passed, 0 failed"
