#!/usr/bin/env bash
# Nothing the user added is lost, however the program ends. On the real program under Wine, with
# keys and clicks from xdotool, each case starting from a list file spelled out here: changes made
# through the window reach the file soon after, so that a kill, a SIGTERM or the end of the X
# display a moment later leaves every one of them on disk, byte for byte, and the next start
# shows them with no error box. A start with no change writes nothing; a burst of changes writes
# a few times only; a full disk shows one error box and keeps the old file; a list that could not
# be read is kept as korlinkwalker.dat.bak by the first save after a change; and a second start
# in a folder whose list is open brings that window to the front and ends.
#   endings_e2e.sh KorLinkWalker.exe klw_probe.exe        (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders endings base

# A display of its own: one case ends it.
test_display 110
old=(http://a.example/ https://b.example/b "https://c.example/日本語")

# A fresh folder for each case, holding the list of three.
new_folder() {
  work="$base/$1"
  mkdir -p "$work"
  image "${old[@]}" >"$work/korlinkwalker.dat"
  cp "$work/korlinkwalker.dat" "$logs/$1-old.dat"
}

# Ends the program with a signal, and waits until it is gone.
kill_program() {
  kill "-$1" "$program_pid" 2>/dev/null || true
  await_end "SIG$1"
}
# The changes every ending case makes: an address added with Enter, one with the Add button, the
# second moved up with the Up button; then the pause.
changed=("${old[@]}" "https://e.example/" "http://d.example/")
make_changes() {
  xdotool type --delay 40 "http://d.example/"
  xdotool key Return
  wait_items 80 "${old[@]}" "http://d.example/"
  xdotool type --delay 40 "https://e.example/"
  click_button Add
  wait_items 80 "${old[@]}" "http://d.example/" "https://e.example/"
  click_button Up
  wait_items 80 "${changed[@]}"
  sleep 1.5
}
# The file holds every change, and the next start shows them with no error box.
check_saved() {
  image "${changed[@]}" >"$logs/expected.dat"
  cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "$1: the file does not hold every change"
  [ "$(ls -A "$work")" = "korlinkwalker.dat" ] || fail "$1: the folder holds $(ls -A "$work")"
  start_program
  wait_items 80 "${changed[@]}"
  [ -z "$(boxes)" ] || fail "$1: the next start shows a box: $(boxes)"
  grep -qx "selected 0" <<<"$(probe_state)" || fail "$1: the next start did not select entry 0"
  kill_program KILL
  ok "$1: every change is in the file, byte for byte, and the next start shows them"
}

for ending in KILL TERM; do
  echo "== Changes, a pause, then SIG$ending"
  new_folder "sig$ending"
  start_program
  make_changes
  kill_program "$ending"
  check_saved "SIG$ending"
done

echo "== Changes, a pause, then the X display goes away"
new_folder display
start_program
make_changes
kill "$xvfb_pid"
await_end "its display"
test_display 110
check_saved "the end of the X display"

echo "== A start with no change writes nothing"
new_folder unchanged
touch -d '2020-01-02 03:04:05' "$work/korlinkwalker.dat"
before=$(stat -c '%Y %i' "$work/korlinkwalker.dat")
start_program
wait_items 80 "${old[@]}"
# Moving the selection and typing into the field change nothing on disk either.
xdotool type --delay 40 "typed, never added"
sleep 3
kill_program KILL
cmp "$logs/unchanged-old.dat" "$work/korlinkwalker.dat" || fail "the unchanged list was rewritten"
[ "$(stat -c '%Y %i' "$work/korlinkwalker.dat")" = "$before" ] || fail "the file was written again"
ok "a start with no change leaves the file's bytes and time as they were"

echo "== A burst of 200 changes writes a few times, and the last state a second after it"
work="$base/burst"
mkdir -p "$work"
long=()
for i in $(seq -w 0 249); do long+=("http://burst.example/$i"); done
image "${long[@]}" >"$work/korlinkwalker.dat"
start_program
wait_for "selected 0"
# Every write replaces the file, so each one gives it a new inode.
python3 - "$work/korlinkwalker.dat" "$logs/writes.txt" <<'PY' &
import os, sys, time
seen, last, end = set(), None, time.time() + 30
while time.time() < end and not os.path.exists(sys.argv[2] + ".stop"):
    try:
        ino = os.stat(sys.argv[1]).st_ino
    except FileNotFoundError:
        ino = None
    if ino is not None and ino != last:
        seen.add(ino)
        last = ino
    time.sleep(0.002)
open(sys.argv[2], "w").write("%d\n" % (len(seen) - 1))
PY
watcher=$!
# A click on the first entry gives the buttons their states (at start only Go is enabled).
read -r _ l t r _ < <(probe_state | grep "^list-rect ")
xdotool mousemove $((l + 20)) $((t + 7)) click 1
wait_for "enabled Down 1"
sleep 0.3
read -r _ _ l t r b < <(probe_state | grep "^button-rect Down ")
burst_start=$(date +%s%N)
xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click --repeat 200 --delay 10 1
burst_ms=$((($(date +%s%N) - burst_start) / 1000000))
# Wine takes the clicks in its own time: wait until the selection stops moving.
previous=""
for _ in $(seq 100); do
  current=$(probe_state | grep '^selected ')
  [ "$current" = "$previous" ] && break
  previous=$current
  sleep 0.3
done
burst_seconds=$((($(date +%s%N) - burst_start) / 1000000000))
sleep 1.2
touch "$logs/writes.txt.stop"
wait "$watcher"
writes=$(cat "$logs/writes.txt")
moved=${current#selected }
[ "$moved" -ge 100 ] || fail "only $moved of 200 clicks moved the entry"
# The first entry went down by one place per click that reached the program.
final=("${long[@]:1:moved}" "${long[0]}" "${long[@]:moved+1}")
image "${final[@]}" >"$logs/burst.dat"
cmp "$logs/burst.dat" "$work/korlinkwalker.dat" || fail "the file does not hold the last state"
# At most one write per 5 s of the burst, one after it, and one spare for a boundary.
allowed=$((burst_seconds / 5 + 2))
[ "$writes" -le 5 ] && [ "$writes" -le "$allowed" ] ||
  fail "$writes writes for $moved changes (clicks sent in $burst_ms ms, the list still within ${burst_seconds}s)"
kill_program KILL
ok "$moved changes (clicks sent in $burst_ms ms, the list still within ${burst_seconds}s): $writes writes, the last state on disk"

echo "== A full disk at a save after a change"
work="$base/full"
mkdir -p "$work"
small_disk
image "${old[@]}" >"$work/korlinkwalker.dat"
start_program
wait_items 80 "${old[@]}"
dd if=/dev/zero of="$work/filler" bs=4k >/dev/null 2>&1 || true
xdotool type --delay 40 "http://full.example/"
xdotool key Return
wait_items 80 "${old[@]}" "http://full.example/"
wait_box 50
[ "$(wc -l <<<"$box")" = 1 ] || fail "expected one error box, saw: $box"
grep -q "ストリームへの書き込みエラー\.\|ファイル korlinkwalker.dat を作成できません\." <<<"$box" ||
  fail "the box does not say the save failed: $box"
image "${old[@]}" | cmp - "$work/korlinkwalker.dat" || fail "the failed save changed the old file"
[ "$(ls -A "$work" | sort | tr '\n' ' ')" = "filler korlinkwalker.dat " ] ||
  fail "a failed save left $(ls -A "$work")"
ok "the failed save shows one box ($(cut -f2 <<<"$box")), and the old file stays as it was"
# The box goes with Enter; the next failing change shows none.
dismiss_box
xdotool windowfocus --sync "$wid"
click_button Up
wait_items 80 "${old[0]}" "${old[1]}" "http://full.example/" "${old[2]}"
sleep 2
[ -z "$(boxes)" ] || fail "a second failing save showed a box: $(boxes)"
image "${old[@]}" | cmp - "$work/korlinkwalker.dat" || fail "the second failed save changed the file"
ok "a second failing save is silent"
rm -f "$work/filler"
click_button Up
after=("${old[0]}" "http://full.example/" "${old[1]}" "${old[2]}")
wait_items 80 "${after[@]}"
sleep 1.5
image "${after[@]}" | cmp - "$work/korlinkwalker.dat" || fail "the change after space was freed was not saved"
kill_program KILL
unmount_disk
ok "with space again, the next change is saved"

echo "== A list that could not be read, then one change"
work="$base/unreadable"
mkdir -p "$work"
printf 'TPF1 this is no list' >"$work/korlinkwalker.dat"
cp "$work/korlinkwalker.dat" "$logs/unreadable.dat"
(cd "$work" && exec wine "$exe" >>"$logs/program.log" 2>&1 </dev/null) &
program_pid=$!
wait_box 150
[ -n "$box" ] || fail "no error box for the unreadable list"
dismiss_box
wait_main_window
xdotool type --delay 40 "http://after.example/"
xdotool key Return
wait_items 80 "http://after.example/"
sleep 1.5
kill_program KILL
cmp "$logs/unreadable.dat" "$work/korlinkwalker.dat.bak" || fail "the unreadable list was not kept as .bak"
image "http://after.example/" | cmp - "$work/korlinkwalker.dat" || fail "the change was not saved"
ok "the first save after a failed load keeps the old file as korlinkwalker.dat.bak"

echo "== A second start in a folder whose list is open"
new_folder first
start_program
first_wid=$wid
xdotool type --delay 40 "http://one.example/"
xdotool key Return
wait_items 80 "${old[@]}" "http://one.example/"
ln -s "$work" "$base/first-link"
for name in "$work" "$base/first-link" "$work/"; do
  (cd "$logs" && wine "$probe" minimize >>"$logs/probe.log" 2>&1 </dev/null)
  for _ in $(seq 50); do grep -qx "visible 0" <<<"$(probe_state)" && break; sleep 0.1; done
  grep -qx "visible 0" <<<"$(probe_state)" || fail "the window did not minimize"
  started=$(date +%s%N)
  code=0
  (cd "$name" && timeout 20 wine "$exe" >>"$logs/second.log" 2>&1 </dev/null) || code=$?
  took=$((($(date +%s%N) - started) / 1000000))
  [ "$code" = 0 ] || fail "a second start through $name ended with $code after $took ms"
  # In milliseconds: whole seconds let a start through that waited out the holder's silence.
  [ "$took" -le 5000 ] || fail "a second start through $name took $took ms"
  wait_for "visible 1"
  rm -f "$logs/mains.txt"
  probe_to mains mains.txt
  [ "$(wc -l <"$logs/mains.txt")" = 1 ] || fail "more than one window: $(cat "$logs/mains.txt")"
  grep -q "foreground" "$logs/mains.txt" || fail "the first window is not in front after a start through $name"
done
ok "second starts through the folder, a link to it and a trailing separator end at once (code 0), the first window in front and restored"
wait_items 80 "${old[@]}" "http://one.example/"
(cd "$base" && mkdir other && cd other && exec wine "$exe" >>"$logs/other.log" 2>&1 </dev/null) &
other_pid=$!
for _ in $(seq 100); do
  rm -f "$logs/mains.txt"
  probe_to mains mains.txt
  [ "$(wc -l <"$logs/mains.txt")" = 2 ] && break
  sleep 0.2
done
[ "$(wc -l <"$logs/mains.txt")" = 2 ] || fail "a start in another folder opened no window of its own"
# Which process owns which X window, should the kill take more than the other window with it.
xwininfo -root -tree >"$logs/windows-before-kill.txt" 2>&1 || true
[ "$(desktop_processes | cut -d' ' -f2 | sort -u)" = "$DISPLAY" ] ||
  fail "the prefix's desktop process is not on this display: $(desktop_processes)"
other_code=0
kill -KILL "$other_pid" 2>/dev/null || true
wait "$other_pid" 2>/dev/null || other_code=$?
[ "$other_code" = 137 ] || fail "the other window's process ended by itself (code $other_code) before the kill"
ok "a start in another folder opens a second window"
for _ in $(seq 50); do
  [ "$(xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' | wc -l)" = 1 ] && break
  sleep 0.2
done
if ! xdotool getwindowname "$first_wid" >/dev/null 2>&1; then
  xwininfo -root -tree >"$logs/windows-after-kill.txt" 2>&1 || true
  code=running
  kill -0 "$program_pid" 2>/dev/null || { code=0; wait "$program_pid" || code=$?; }
  fail "the first window went with the other one (its process: $code)"
fi
wid=$first_wid
# The window the other one left in front of: a click on its caption makes it active again.
eval "$(xdotool getwindowgeometry --shell "$wid")"
xdotool mousemove $((X + 100)) $((Y + 8)) click 1
close_program
image "${old[@]}" "http://one.example/" | cmp - "$work/korlinkwalker.dat" ||
  fail "after the close the file does not hold what was added"
ok "after the first window closes, the file holds everything added"
echo "$checks passed, 0 failed"
