#!/usr/bin/env bash
# Enter held over a list on the real program under Wine, with keys from xdotool: the shell's
# handler must receive the addresses once each and in list order, however slowly each handler
# takes its address over; a handler that never ends delays a Go by no more than the bound; and
# Alt+F4 after the walk saves the list unchanged.
#   ordered_go_e2e.sh KorLinkWalker.exe klw_probe.exe klw_recorder.exe   (WINEPREFIX: the prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2" "$3"
export LC_ALL=ja_JP.UTF-8

test_folders order
recorder_notes="$(dirname "$recorder")/klw-recorder-notes.log"
# A program left open by a failure, and the handlers that never end: only this test's, whose
# command lines start with its recorder's Windows path.
end_stragglers() {
  for w in $(xdotool search --name '^KORVANE LINKWALKER$' 2>/dev/null); do
    kill "$(xdotool getwindowpid "$w" 2>/dev/null)" >/dev/null 2>&1 || true
  done
  pkill -f "^$(sed 's/[][\\.*^$]/\\&/g' <<<"$recorder_win")" >/dev/null 2>&1 || true
}
exit_hook=end_stragglers
own_display 77


entries=()
for i in $(seq -w 0 11); do entries+=("https://example.com/walk/$i"); done
image "${entries[@]}" >"$logs/list.dat"


# What the recorder logged once it has N lines (or after 30 s), and a second more.
recorded() {
  wait_lines "$recorder_log" "$1"
  cat "$recorder_log" 2>/dev/null || true
}
# The recorders' own account of a missing or late line (errors, handlers that overlapped).
recorder_notes() {
  [ -s "$recorder_notes" ] || return 0
  echo "; the recorders noted: $(tr '\n' ';' <"$recorder_notes")"
}

echo "== Enter held over 12 entries; each handler waits a random 0-300 ms before it logs"
recorder_opens /jitter:300
cp "$logs/list.dat" "$work/korlinkwalker.dat"
rm -f "$recorder_log" "$recorder_notes"
start_program
presses=$(hold_key Return 12)
expected=$(walk_opens 12 "$presses" "${entries[@]}")
got=$(recorded "$presses")
[ "$got" = "$expected" ] ||
  fail "after $presses presses the handlers received, in this order: $(echo $got)$(recorder_notes)"
ok "the handler received the 12 addresses once each, in list order ($presses presses)"
state=$(probe_state)
grep -qx "selected 11" <<<"$state" || fail "the walk did not end on the last entry: $state"
ok "the selection walked down to the last entry and stayed there"
close_program
cmp "$logs/list.dat" "$work/korlinkwalker.dat" || fail "Alt+F4 after the walk saved another list"
ok "Alt+F4 after the walk saved the list unchanged"

echo "== A handler that never ends: three quick presses of Enter, and Alt+F4 right after them"
recorder_opens /hold:60000
rm -f "$recorder_log" "$recorder_notes"
start_program
(cd "$logs" && wine "$probe" watch watch.txt 15000 >>"$logs/probe.log" 2>&1 </dev/null) &
watcher=$!
for _ in $(seq 100); do [ -f "$logs/watch.txt.ready" ] && break; sleep 0.1; done
[ -f "$logs/watch.txt.ready" ] || fail "the watcher did not start"
xdotool windowfocus --sync "$wid"
pressed=$(date +%s%3N)
xdotool key Return Return Return alt+F4
wait "$watcher" || fail "the watcher failed"
cat "$logs/watch.txt"
python3 - "$pressed" "$logs/watch.txt" <<'PY' || fail "the Go presses did not return after the bound"
import sys
pressed = int(sys.argv[1])
rows = [line.split() for line in open(sys.argv[2])]
gone = [int(t) for t, what in rows if what == "gone"]
moves = [(int(t), int(i)) for t, i in rows if i != "gone"]
assert moves[0][1] == 0, rows
moves = moves[1:]
# Alt+F4, queued behind the third Go, can close the window before the watcher's next look: then
# the moment it found the window gone is when the third Go returned.
if [i for _, i in moves] == [1, 2] and gone:
    moves.append((gone[0], 3))
assert [i for _, i in moves] == [1, 2, 3], "the selection moved to %s" % [i for _, i in moves]
last = pressed
for t, i in moves:
    took = t - last
    print("Go to entry %d returned after %d ms" % (i, took))
    # The handler never goes idle: each Go waits the whole bound, 3 s, and then goes on (the
    # slack is for a busy machine; the handler would hold it for a minute).
    assert 2900 <= took <= 6000, took
    last = t
PY
ok "each Go waited the bound and returned, and the selection walked on"
got=$(recorded 3)
[ "$got" = "$(printf '%s\n' "${entries[@]:0:3}")" ] || fail "the handlers received: $(echo $got)$(recorder_notes)"
ok "each of the three opens reached a handler, in order"
# Alt+F4, pressed while the first Go waited, closes once the three are done, saving the list.
program_ends "the program did not end after the Alt+F4 pressed during the walk"
cmp "$logs/list.dat" "$work/korlinkwalker.dat" || fail "Alt+F4 during the walk saved another list"
ok "Alt+F4 pressed during the walk saved the list unchanged after the third Go; exit code 0"
echo "ordered Go: $checks checks passed"
