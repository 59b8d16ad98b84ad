#!/usr/bin/env bash
# The whole walk as a person makes it, on the real program under Wine with keys from xdotool:
# start in an empty folder, type two addresses each followed by Enter, close with Alt+F4; the
# saved file must be byte for byte the image that the list file format prescribes, and the
# registry must hold the window's place. Start again: both entries are there, the first is
# selected, only Go is enabled, and the window stands where it was.
#   walk_e2e.sh KorLinkWalker.exe klw_probe.exe        (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders walk

own_display 70

# The image of the list control holding these entries at the design geometry, spelled out from
# the format; checked against the worked example: "abc" and "de" make 118 bytes, an empty list 93.
[ "$(image abc de | wc -c) $(image | wc -c)" = "118 93" ] ||
  fail "the expected image does not follow the worked example"

# "Top" or "Left" as reg.exe shows it, as a signed number.
reg_value() {
  python3 - "$1" "$logs/reg.txt" <<'PY'
import sys
name, path = sys.argv[1], sys.argv[2]
for line in open(path, encoding="utf-8", errors="replace"):
    words = line.split()
    if len(words) == 3 and words[0] == name:
        if words[1] != "REG_DWORD": sys.exit("%s is %s" % (name, words[1]))
        v = int(words[2], 16)
        print(v - (1 << 32) if v >= 1 << 31 else v)
        sys.exit(0)
sys.exit("no value " + name)
PY
}

first="http://example.com/"
second="https://www.example.org/walk?page=2"

echo "== First start, in an empty folder, with no stored position"
forget_stored_place
start_program
state=$(probe_state)
grep -qx "count 0" <<<"$state" || fail "the list is not empty: $state"
grep -qx "enabled Go 0" <<<"$state" || fail "Go is enabled at the first start"
xdotool type --delay 40 "$first"
xdotool key Return
xdotool type --delay 40 "$second"
xdotool key Return
await_line probe_state "count 2" 50 || fail "two typed addresses were not added: $state"
read -r _ left top _ _ < <(grep '^rect ' <<<"$state")
close_program

echo "== The saved file and the stored place"
[ "$(ls -A "$work")" = "korlinkwalker.dat" ] || fail "the folder holds: $(ls -A "$work")"
image "$first" "$second" >"$logs/expected.dat"
cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "the saved file differs from the image"
echo "korlinkwalker.dat: $(stat -c %s "$work/korlinkwalker.dat") bytes, as prescribed"
wine reg query "$place_key" >"$logs/reg.txt" 2>&1 </dev/null || fail "no registry key"
[ "$(reg_value Top)" = "$top" ] || fail "Top is $(reg_value Top), the window stood at $top"
[ "$(reg_value Left)" = "$left" ] || fail "Left is $(reg_value Left), the window stood at $left"
echo "registry: Top $top, Left $left (REG_DWORD)"

echo "== Second start in the same folder"
start_program
state=$(probe_state)
expected_state=$(printf 'count 2\nselected 0\nitem %s\nitem %s' "$first" "$second")
[ "$(grep -E '^(count|selected|item) ' <<<"$state")" = "$expected_state" ] ||
  fail "the list is not as saved: $state"
for b in "Go 1" "Add 0" "Up 0" "Down 0" "Delete 0"; do
  grep -qx "enabled $b" <<<"$state" || fail "expected enabled $b: $state"
done
grep -qx "rect $left $top .*" <<<"$state" || fail "the window is not at $left,$top: $state"
close_program
cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "the unchanged list was not saved as it was"

echo "== Logging off with the window open saves the list"
start_program
third="http://log.off/"
xdotool type --delay 40 "$third"
xdotool key Return
# Wine takes the keys in its own time: wait until the entry is in the list.
for _ in $(seq 50); do
  grep -qx "count 3" <<<"$(probe_state)" && break
  sleep 0.1
done
grep -qx "count 3" <<<"$(probe_state)" || fail "the third address was not added"
# Wine's own end of the session: every top-level window is asked, then told it ends.
wine_quiet wineboot --end-session || fail "wineboot --end-session failed"
for _ in $(seq 150); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end with the session"
program_pid=""
# Start Wine's background processes again, away from the test runner's pipes.
wine_quiet cmd.exe /c exit || true
image "$first" "$second" "$third" >"$logs/expected3.dat"
cmp "$logs/expected3.dat" "$work/korlinkwalker.dat" || fail "the list was not saved at the end of the session"

# Places written by the real registry client: one partly visible left of the screen's edge
# stays exactly; one left of the only screen (1280 pixels wide) is moved into its work area.
for place in "-100 40 -100" "-1200 40 0"; do
  read -r stored_left stored_top shown_left <<<"$place"
  echo "== Stored Left $stored_left, Top $stored_top"
  place_at "$stored_left" "$stored_top"
  start_program
  state=$(probe_state)
  grep -qx "rect $shown_left $stored_top .*" <<<"$state" ||
    fail "stored $stored_left,$stored_top: expected the window at $shown_left,$stored_top: $state"
  close_program
  wine reg query "$place_key" >"$logs/reg.txt" 2>&1 </dev/null || fail "no registry key"
  [ "$(reg_value Left)" = "$shown_left" ] || fail "Left is $(reg_value Left) after the close"
done
echo "1 passed, 0 failed"
