#!/usr/bin/env bash
# Another program changes the list file while the window is open, as a sync client or the same
# folder open in a second Wine prefix does: on the real program under Wine, each case from list
# files spelled out here. While the window stands idle it shows the new list within 3 s and
# writes nothing; a moment after an Add it keeps the other version beside the list, byte for
# byte, saves its own, and says so in one box. Also the edges of saving: a folder that cannot be
# written shows one error box for an Add and a close, and a maximized start writes no place.
#   changed_elsewhere_e2e.sh KorLinkWalker.exe klw_probe.exe     (WINEPREFIX names the test prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders elsewhere base
test_display 120

ours=(http://a.example/ https://b.example/b "https://c.example/日本語")
theirs=(http://a.example/ "https://other.example/from another computer" http://z.example/)

# Replaces the list file as a sync client does: a temporary file, then a rename over it. The
# file is made beforehand (prepare_list), so that the rename comes when the test says.
prepare_list() { image "$@" >"$work/.sync-tmp"; }
replace_list() { mv -f "$work/.sync-tmp" "$work/korlinkwalker.dat"; }
copies() { find "$work" -maxdepth 1 -name 'korlinkwalker (changed elsewhere *).dat' | sort; }

echo "== Another program replaces the file while the window stands idle"
work="$base/idle"
mkdir -p "$work"
image "${ours[@]}" >"$work/korlinkwalker.dat"
start_program
wait_items 80 "${ours[@]}"
# The third entry selected: it still exists in the new list and stays selected.
read -r _ l t _ _ < <(probe_state | grep "^list-rect ")
xdotool mousemove $((l + 20)) $((t + 2 * 13 + 6)) click 1
wait_for "selected 2"
prepare_list "${theirs[@]}"
replace_list
image "${theirs[@]}" >"$logs/theirs.dat"
written=$(stat -c '%i %Y %s' "$work/korlinkwalker.dat")
replaced_at=$(date +%s%N)
wait_items 30 "${theirs[@]}"
shown_ms=$((($(date +%s%N) - replaced_at) / 1000000))
grep -qx "selected 2" <<<"$(probe_state)" || fail "the selection did not stay on entry 2"
sleep 2
[ "$(stat -c '%i %Y %s' "$work/korlinkwalker.dat")" = "$written" ] || fail "the window wrote the file"
cmp "$logs/theirs.dat" "$work/korlinkwalker.dat" || fail "the other program's file changed"
[ -z "$(copies)" ] || fail "a copy was made: $(copies)"
[ -z "$(boxes)" ] || fail "a box came up: $(boxes)"
ok "the new list shows ${shown_ms} ms after the rename, the selection kept, nothing written"
# The close writes the list it shows, which is theirs: nothing is lost.
close_program
cmp "$logs/theirs.dat" "$work/korlinkwalker.dat" || fail "the close did not keep the other program's list"
ok "the close keeps the other program's entries"

echo "== A file that cannot be read replaces it while idle: no box, kept by the next save"
work="$base/unreadable"
mkdir -p "$work"
image "${ours[@]}" >"$work/korlinkwalker.dat"
start_program
wait_items 80 "${ours[@]}"
printf 'TPF0 half a list from a writer that stopped' >"$work/.sync-tmp"
cp "$work/.sync-tmp" "$logs/broken.dat"
mv -f "$work/.sync-tmp" "$work/korlinkwalker.dat"
sleep 2.5
[ -z "$(boxes)" ] || fail "the unreadable version showed a box: $(boxes)"
wait_items 10 "${ours[@]}"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
wait_box 50
[ "$(copies | wc -l)" = 1 ] || fail "expected one copy, found: $(copies)"
copy=$(basename "$(copies)")
[ "$(wc -l <<<"$box")" = 1 ] && grep -qF "$copy" <<<"$box" || fail "no one box naming $copy: $box"
dismiss_box
await_end "the close and its box"
image "${ours[@]}" | cmp - "$work/korlinkwalker.dat" || fail "the close did not save the window's list"
cmp "$logs/broken.dat" "$work/$copy" || fail "the copy is not the unreadable version byte for byte"
ok "the window kept its list silently; the close kept the unreadable version as $copy and said so once"

echo "== Another program replaces the file a moment after an Add"
work="$base/after-add"
mkdir -p "$work"
image "${ours[@]}" >"$work/korlinkwalker.dat"
start_program
wait_items 80 "${ours[@]}"
prepare_list "${theirs[@]}"
xdotool type --delay 30 "http://added.example/"
xdotool key Return
# Within the second before the window's own save.
sleep 0.2
replace_list
wait_items 30 "${ours[@]}" "http://added.example/"
wait_box 60
[ "$(wc -l <<<"$box")" = 1 ] || fail "expected one box, saw: $box"
[ "$(copies | wc -l)" = 1 ] || fail "expected one copy, found: $(copies)"
copy=$(basename "$(copies)")
grep -qF "$copy" <<<"$box" || fail "the box does not name the copy $copy: $box"
cmp "$logs/theirs.dat" "$work/$copy" || fail "the copy is not the other version byte for byte"
image "${ours[@]}" "http://added.example/" | cmp - "$work/korlinkwalker.dat" ||
  fail "the list file does not hold the window's list"
ok "one box names $copy, which holds the other version byte for byte"
dismiss_box
sleep 2
[ -z "$(boxes)" ] || fail "a second box came up: $(boxes)"
close_program
image "${ours[@]}" "http://added.example/" | cmp - "$work/korlinkwalker.dat" ||
  fail "after the close the list file does not hold the added entry"
cmp "$logs/theirs.dat" "$work/$copy" || fail "the close changed the copy"
[ "$(copies | wc -l)" = 1 ] || fail "the close made another copy: $(copies)"
ok "after the close the list file holds the added entry and the copy the other version"

echo "== A folder that cannot be written: an Add, then the close within half a second"
work="$base/read-only"
mkdir -p "$work"
small_disk
image "${ours[@]}" >"$work/korlinkwalker.dat"
mount -o remount,ro "$work"
start_program
wait_items 80 "${ours[@]}"
xdotool type --delay 30 "http://never.example/"
xdotool key Return
xdotool key --clearmodifiers alt+F4
wait_box 50
[ "$(wc -l <<<"$box")" = 1 ] || fail "expected one error box, saw: $box"
grep -q "ファイル korlinkwalker.dat を作成できません\." <<<"$box" || fail "not the create error: $box"
dismiss_box
box=""
for _ in $(seq 30); do
  b=$(boxes)
  [ -n "$b" ] && box=$b && break
  sleep 0.1
done
[ -z "$box" ] || fail "a second box followed the close's: $box"
kill -0 "$program_pid" 2>/dev/null || fail "the window did not stay open"
wait_main_window 10
ok "one error box for the close, none from the save after the change in the next 3 s; the window stays open"
kill -KILL "$program_pid" 2>/dev/null || true
await_end SIGKILL
unmount_disk

echo "== A start maximized writes no place until the user moves the window"
work="$base/maximized"
mkdir -p "$work"
place_at 50 40
wine reg query "$place_key" >"$logs/place-before.txt" 2>&1 </dev/null
(cd "$work" && exec wine start /wait /max /unix "$exe" >>"$logs/program.log" 2>&1 </dev/null) &
program_pid=$!
wait_main_window
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -ge 1200 ] || fail "the window did not open maximized (${WIDTH}x$HEIGHT)"
sleep 1.5
wine reg query "$place_key" >"$logs/place-after.txt" 2>&1 </dev/null
cmp "$logs/place-before.txt" "$logs/place-after.txt" ||
  fail "the registry changed: $(tr -s ' \r\n' ' ' <"$logs/place-after.txt")"
ok "1.5 s after a maximized start the registry values are as they were ($(grep -c REG_DWORD "$logs/place-after.txt") values)"
close_program
echo "$checks passed, 0 failed"
