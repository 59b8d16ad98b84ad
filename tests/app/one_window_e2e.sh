#!/usr/bin/env bash
# One window per folder's list, on the real program under Wine, each case from list files spelled
# out here: two folders that are the roots of two mounts (the same volume and file index under
# Wine) are two lists with a window each; a second start whose holder is stopped (SIGSTOP) says
# so in a box within 5.5 s and ends with a non-zero code; a holder that publishes its window
# 1.5 s late is still found; a start while the holder closes a long list opens that list itself,
# as saved, in the one window left.
#   one_window_e2e.sh KorLinkWalker.exe klw_probe.exe        (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders one-window base
mounts=()
second_pid=""
unmount_all() {
  [ -z "$second_pid" ] || kill -KILL "$second_pid" 2>/dev/null || true
  # A stopped holder cannot end until it runs again.
  [ -z "$program_pid" ] || kill -CONT "$program_pid" 2>/dev/null || true
  local m
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done
}
exit_hook=unmount_all
test_display 130
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program in folder $1 without waiting for anything; sets second_pid.
start_second() {
  (cd "$1" && exec wine "$exe" >>"$logs/program.log" 2>&1 </dev/null) &
  second_pid=$!
}
# Waits until process $1 has ended, up to $2 tenths of a second; sets code to its exit code.
await_code() {
  local _
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the start did not end"
  code=0
  wait "$1" || code=$?
}
# The visible main windows' X ids, one a line.
main_windows() { xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' 2>/dev/null || true; }
# Adds $2 in the window with X id $1 and closes it with Alt+F4.
add_and_close() {
  xdotool windowfocus --sync "$1"
  xdotool type --delay 40 "$2"
  xdotool key Return
  sleep 0.5
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers alt+F4
}
# Closes the window with X id $1 with Alt+F4.
close_window() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers alt+F4
}

echo "== Two mounts whose roots have the same inode number: two lists, two windows"
for m in m1 m2; do
  mkdir "$base/$m"
  mount -t tmpfs -o size=4m tmpfs "$base/$m"
  mounts+=("$base/$m")
  image "http://$m.example/" >"$base/$m/korlinkwalker.dat"
done
[ "$(stat -c %i "$base/m1")" = "$(stat -c %i "$base/m2")" ] || fail "the two roots have different inode numbers"
work="$base/m1"
start_program
first_wid=$wid
first_pid=$program_pid
wait_for "item http://m1.example/"
start_second "$base/m2"
other_wid=""
for _ in $(seq 150); do
  other_wid=$(main_windows | grep -vx "$first_wid" | head -1 || true)
  [ -n "$other_wid" ] && break
  kill -0 "$second_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$other_wid" ] || fail "a start in the second mount's root opened no window (it ended: $(kill -0 "$second_pid" 2>/dev/null && echo no || echo yes))"
[ "$(main_windows | wc -l)" = 2 ] || fail "not two windows: $(main_windows | tr '\n' ' ')"
ok "a start in each of two mount roots with inode $(stat -c %i "$base/m1") opens a window of its own"
# Each window shows its own list (the probe reads the one in front), and each close ends its
# own process, leaving the other window with its list.
xdotool windowfocus --sync "$other_wid"
wait_for "item http://m2.example/"
close_window "$other_wid"
await_code "$second_pid" 150
second_pid=""
[ "$code" = 0 ] || fail "the second window's process ended with $code"
[ "$(main_windows)" = "$first_wid" ] || fail "after the second window's close: $(main_windows | tr '\n' ' ')"
wait_for "item http://m1.example/"
close_window "$first_wid"
await_code "$first_pid" 150
program_pid=""
[ "$code" = 0 ] || fail "the first window's process ended with $code"
for m in m1 m2; do
  image "http://$m.example/" | cmp - "$base/$m/korlinkwalker.dat" || fail "the list of $m changed"
done
ok "each window showed its own mount's list, and each close kept it"

echo "== The holder stopped (SIGSTOP): the second start says so within 5.5 s, and ends non-zero"
work="$base/stopped"
mkdir "$work"
image "http://stopped.example/" >"$work/korlinkwalker.dat"
cp "$work/korlinkwalker.dat" "$logs/stopped-old.dat"
start_program
wait_for "item http://stopped.example/"
kill -STOP "$program_pid"
# The box is the one new window with the application's title (the holder's taskbar window has it
# too); looked for on the display, with no Wine process of our own in between.
titled() { xdotool search --onlyvisible --name '^Korlinkwalker$' 2>/dev/null || true; }
before=$(titled)
started=$(now_ms)
start_second "$work"
box_wid=""
for _ in $(seq 200); do
  box_wid=$(titled | grep -vxF "$before" | head -1 || true)
  [ -n "$box_wid" ] && break
  kill -0 "$second_pid" 2>/dev/null || break
  sleep 0.05
done
shown_ms=$(($(now_ms) - started))
[ -n "$box_wid" ] || fail "no box (the second start $(kill -0 "$second_pid" 2>/dev/null && echo still runs || echo ended))"
[ "$shown_ms" -le 5500 ] || fail "the box came $shown_ms ms after the start"
box=$(boxes)
[ "$(wc -l <<<"$box")" = 1 ] || fail "expected one box, saw: $box"
[ "$(cut -f1 <<<"$box")" = Korlinkwalker ] || fail "the box's caption: $box"
grep -q "korlinkwalker.dat は、応答しないウィンドウで開かれています\." <<<"$box" || fail "the box says: $box"
kill -0 "$second_pid" 2>/dev/null || fail "the second start ended before its box was answered"
xdotool windowfocus --sync "$box_wid" key Return
await_code "$second_pid" 50
second_pid=""
[ "$code" != 0 ] || fail "the second start ended with code 0"
[ "$(main_windows | wc -l)" = 1 ] || fail "the second start left a window"
ok "the box ($(cut -f2 <<<"$box")) came $shown_ms ms after the start; after OK the start ended with code $code"
kill -CONT "$program_pid"
cmp "$logs/stopped-old.dat" "$work/korlinkwalker.dat" || fail "the second start wrote the list"
close_program
ok "the holder, running again, closes as before"

echo "== A holder that publishes its window 1.5 s late is still the one found"
work="$base/late"
mkdir "$work"
(cd "$work" && exec wine "$probe" hold "$logs/hold.txt" 1500 >>"$logs/probe.log" 2>&1 </dev/null) &
holder_pid=$!
for _ in $(seq 100); do grep -qx claimed "$logs/hold.txt" 2>/dev/null && break; sleep 0.05; done
grep -qx claimed "$logs/hold.txt" || fail "the stand-in holder did not claim the folder"
started=$(now_ms)
start_second "$work"
await_code "$second_pid" 100
second_pid=""
took=$(($(now_ms) - started))
await_code "$holder_pid" 50
[ "$(tr '\n' ' ' <"$logs/hold.txt")" = "claimed published activated " ] ||
  fail "the holder logged: $(tr '\n' ' ' <"$logs/hold.txt") (holder code $code)"
[ -z "$(ls -A "$work")" ] || fail "the start wrote $(ls -A "$work")"
ok "the start ended after $took ms having brought the late holder's window to the front, and wrote nothing"

echo "== A start while the holder closes a list of 300,000 entries"
work="$base/closing"
mkdir "$work"
python3 - "$(dirname "$0")/../support" "$work/korlinkwalker.dat" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import list_image
open(sys.argv[2], "wb").write(list_image.image(["http://long.example/%06d" % i for i in range(300000)]))
PY
# The count and the last entry of the window in front: a list this long is not read whole.
count_and_last() {
  rm -f "$logs/last.txt"
  probe_to last last.txt
  cat "$logs/last.txt" 2>/dev/null || true
}
start_program
for _ in $(seq 300); do grep -qx "count 300000" <<<"$(count_and_last)" && break; sleep 0.2; done
grep -qx "count 300000" <<<"$(count_and_last)" || fail "the long list did not load: $(count_and_last)"
add_and_close "$wid" "http://last.example/"
# The close is under way once its temporary file is there.
for _ in $(seq 400); do compgen -G "$work/klw*.tmp" >/dev/null && break; sleep 0.01; done
compgen -G "$work/klw*.tmp" >/dev/null || fail "the close wrote no temporary file"
# Held in the middle of its save for 2 s, as a slow disk would, so that the start surely comes
# while the holder closes (a Wine process takes longer to start than this save).
kill -STOP "$program_pid"
start_second "$work"
sleep 2
kill -CONT "$program_pid"
await_code "$program_pid" 300
program_pid=""
[ "$code" = 0 ] || fail "the holder ended with $code"
for _ in $(seq 300); do
  [ "$(main_windows | wc -l)" = 1 ] && break
  kill -0 "$second_pid" 2>/dev/null || fail "the second start ended without a window of its own"
  sleep 0.1
done
[ "$(main_windows | wc -l)" = 1 ] || fail "$(main_windows | wc -l) windows after the close"
program_pid=$second_pid
second_pid=""
python3 - "$(dirname "$0")/../support" "$logs/closing.dat" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import list_image
entries = ["http://long.example/%06d" % i for i in range(300000)] + ["http://last.example/"]
open(sys.argv[2], "wb").write(list_image.image(entries))
PY
cmp "$logs/closing.dat" "$work/korlinkwalker.dat" || fail "the holder's close did not save the list"
for _ in $(seq 300); do grep -qx "count 300001" <<<"$(count_and_last)" && break; sleep 0.2; done
shown=$(count_and_last)
[ "$shown" = "$(printf 'count 300001\nlast http://last.example/')" ] || fail "the new window shows $shown"
kill_quiet() { kill -KILL "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; program_pid=""; }
kill_quiet
ok "the start waited for the close and opened the saved list (300,001 entries) in the one window left"
echo "$checks passed, 0 failed"
