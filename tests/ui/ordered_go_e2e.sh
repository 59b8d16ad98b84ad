#!/usr/bin/env bash
# Enter held over a list on the real program under Wine, with keys from xdotool: the shell's
# handler must receive the addresses once each and in list order, however slowly each handler
# takes its address over; a handler that never ends delays a Go by no more than the bound; and
# Alt+F4 after the walk saves the list unchanged.
#   ordered_go_e2e.sh KorLinkWalker.exe klw_probe.exe klw_recorder.exe   (WINEPREFIX: the prefix)
set -euo pipefail
exe=$(realpath "$1")
probe=$(realpath "$2")
recorder=$(realpath "$3")
: "${WINEPREFIX:?the test prefix}"
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/virtual-display.sh"
source "$here/../support/e2e_program.sh"

work=$(mktemp -d /tmp/klw-order.XXXXXX)
logs=$(mktemp -d /tmp/klw-order-logs.XXXXXX)
recorder_log="$(dirname "$recorder")/klw-recorder.log"
recorder_win=""
xvfb_pid=""
program_pid=""
saved_handlers=""
checks=0
wine_quiet() { wine "$@" >>"$logs/wine.log" 2>&1 </dev/null; }
handler_key() { echo "HKCR\\$1\\shell\\open\\command"; }
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" >/dev/null 2>&1 || true
  # A program left open by a failure, and the handlers that never end.
  for w in $(xdotool search --name '^KORVANE LINKWALKER$' 2>/dev/null); do
    kill "$(xdotool getwindowpid "$w" 2>/dev/null)" >/dev/null 2>&1 || true
  done
  # Only this test's recorders: their command lines start with its Windows path.
  [ -n "$recorder_win" ] && pkill -f "^$(sed 's/[][\\.*^$]/\\&/g' <<<"$recorder_win")" >/dev/null 2>&1 || true
  # Give the prefix its own handlers back.
  if [ -n "$saved_handlers" ]; then
    for scheme in http https; do
      old=$(cat "$logs/$scheme.txt")
      if [ -n "$old" ]; then
        wine_quiet reg add "$(handler_key "$scheme")" /ve /d "$old" /f || true
      else
        wine_quiet reg delete "$(handler_key "$scheme")" /f || true
      fi
    done
  fi
  wine_quiet reg delete 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /f || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$work" "$logs"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_virtual_display 77
fi

for scheme in http https; do
  wine reg query "$(handler_key "$scheme")" /ve >"$logs/query.txt" 2>&1 </dev/null || true
  python3 -c 'import sys
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    parts = line.rstrip("\r\n").split("    ")
    if len(parts) >= 4 and parts[2] in ("REG_SZ", "REG_EXPAND_SZ"): print(parts[3])' "$logs/query.txt" >"$logs/$scheme.txt"
done
saved_handlers=1
recorder_win=$(winepath -w "$recorder" 2>/dev/null)
use_recorder() {  # OPTIONS: the recorder, so started, becomes the http and https handler
  for scheme in http https; do
    wine_quiet reg add "$(handler_key "$scheme")" /ve /d "\"$recorder_win\" $1 \"%1\"" /f
  done
}

entries=()
for i in $(seq -w 0 11); do entries+=("https://example.com/walk/$i"); done
python3 "$here/../support/list_image.py" "${entries[@]}" >"$logs/list.dat"


# Waits until the recorder has logged N lines, then a second more for any that come late.
recorded() {
  for _ in $(seq 300); do
    [ -f "$recorder_log" ] && [ "$(wc -l <"$recorder_log")" -ge "$1" ] && break
    sleep 0.1
  done
  sleep 1
  cat "$recorder_log" 2>/dev/null || true
}

echo "== Enter held over 12 entries; each handler waits a random 0-300 ms before it logs"
use_recorder /jitter:300
cp "$logs/list.dat" "$work/korlinkwalker.dat"
rm -f "$recorder_log"
start_program
presses=$(hold_key Return 12)
expected=$(walk_opens 12 "$presses" "${entries[@]}")
got=$(recorded "$presses")
[ "$got" = "$expected" ] || fail "after $presses presses the handlers received, in this order: $(echo $got)"
ok "the handler received the 12 addresses once each, in list order ($presses presses)"
state=$(probe_state)
grep -qx "selected 11" <<<"$state" || fail "the walk did not end on the last entry: $state"
ok "the selection walked down to the last entry and stayed there"
close_program
cmp "$logs/list.dat" "$work/korlinkwalker.dat" || fail "Alt+F4 after the walk saved another list"
ok "Alt+F4 after the walk saved the list unchanged"

echo "== A handler that never ends: three quick presses of Enter, and Alt+F4 right after them"
use_recorder /hold:60000
rm -f "$recorder_log"
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
python3 - "$pressed" "$logs/watch.txt" <<'PY' || fail "the Go presses did not return within the bound"
import sys
pressed = int(sys.argv[1])
rows = [tuple(map(int, line.split())) for line in open(sys.argv[2])]
assert rows[0][1] == 0, rows
moves = rows[1:]
assert [i for _, i in moves] == [1, 2, 3], "the selection moved to %s" % [i for _, i in moves]
last = pressed
for t, i in moves:
    took = t - last
    print("Go to entry %d returned after %d ms" % (i, took))
    # The handler never goes idle: each Go waits the whole bound, 3 s, and no longer.
    assert 2900 <= took <= 3500, took
    last = t
PY
ok "each Go returned within the bound plus 0.5 s and the selection walked on"
got=$(recorded 3)
[ "$got" = "$(printf '%s\n' "${entries[@]:0:3}")" ] || fail "the handlers received: $(echo $got)"
ok "each of the three opens reached a handler, in order"
# Alt+F4, pressed while the first Go waited, closes once the three are done, saving the list.
for _ in $(seq 150); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after the Alt+F4 pressed during the walk"
code=0
wait "$program_pid" || code=$?
program_pid=""
[ "$code" -eq 0 ] || fail "exit code $code"
cmp "$logs/list.dat" "$work/korlinkwalker.dat" || fail "Alt+F4 during the walk saved another list"
ok "Alt+F4 pressed during the walk saved the list unchanged after the third Go; exit code 0"
echo "ordered Go: $checks checks passed"
