#!/usr/bin/env bash
# Go on entries from outside that are not web addresses, on the real program under Wine with
# keys and clicks from xdotool. The list file, spelled out here, holds scripts that leave a mark
# when they run: each asks first, Enter answers No and runs nothing, Yes runs it once and the same
# text then opens without a question; a path typed and added runs at once; Enter held over 12
# such entries runs none and the walk reaches the end; a dropped .url file whose URL= names a
# script asks too. Web addresses still open at once; entries that a shell takes for a file or a
# variable ask, and a pasted path holding a right-to-left override asks, showing a stand-in. With
# KLW_QUESTION_SHOTS=DIR the box's screenshots under 932 and 1252 are kept in DIR.
#   question_e2e.sh KorLinkWalker.exe klw_probe.exe klw_recorder.exe  (WINEPREFIX: the prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2" "$3"
export LC_ALL=ja_JP.UTF-8

test_folders question
exit_hook=stop_xclip
own_display 120
recorder_opens

dl="$work/Downloads"
mkdir -p "$dl"
marks="$work/marks.txt"
# A shell script with its run bit, and a batch file (which needs none), each logging its name.
script() {
  printf '#!/bin/sh\necho %s >>"%s"\n' "$1" "$marks" >"$dl/$1"
  chmod +x "$dl/$1"
}
batch() {
  printf '@echo %s>>%s\r\n' "$1" "$(winepath -w "$marks" 2>/dev/null)" >"$dl/$1"
}
# The marks so far (the batch file's end in CR LF).
marked() { tr -d '\r' <"$marks" 2>/dev/null | tr '\n' ' ' || true; }
# A mark that is to come: waits up to 10 s for LINE to appear COUNT times.
wait_mark() {
  for _ in $(seq 100); do
    [ "$(tr -d '\r' <"$marks" 2>/dev/null | grep -cx "$1" || true)" -ge "$2" ] && return 0
    sleep 0.1
  done
  fail "$1 did not run $2 time(s): marks: $(marked)"
}
key() { xdotool windowfocus --sync "$wid" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }
click_row() {
  local l t
  read -r _ l t _ _ < <(grep '^list-rect ' <<<"$(probe_state)")
  xdotool mousemove "$((l + 20))" "$((t + 12 * $1 + 6))" click 1
}
click_field() {
  local l t
  read -r _ l t _ _ < <(grep '^field-rect ' <<<"$(probe_state)")
  xdotool mousemove "$((l + 20))" "$((t + 8))" click 1
}
shot() {  # shot NAME BOXLINE: the box, as the screen shows it (the largest window of its caption)
  local caption=${2%%$'\t'*} id geometry="" best=0 X Y WIDTH HEIGHT
  for id in $(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null); do
    [ "$id" = "$wid" ] && continue
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ $((WIDTH * HEIGHT)) -gt "$best" ]; then
      best=$((WIDTH * HEIGHT))
      geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
    fi
  done
  if [ -n "$geometry" ]; then
    import -window root -crop "$geometry" +repage "$logs/$1.png" 2>/dev/null || true
  else
    import -window root "$logs/$1.png" 2>/dev/null || true
  fi
  [ -z "${KLW_QUESTION_SHOTS:-}" ] || cp "$logs/$1.png" "$KLW_QUESTION_SHOTS/$1.png"
}

for s in a.sh b.sh c.sh; do script "$s"; done
batch d.bat
entries=(
  "$(winepath -w "$dl/a.sh" 2>/dev/null)"
  "$dl/b.sh"
  "file://$dl/c.sh"
  "$(winepath -w "$dl/d.bat" 2>/dev/null)"
  "https://example.com/web"
)
image "${entries[@]}" >"$work/korlinkwalker.dat"
rm -f "$recorder_log" "$marks"

echo "== Go on each entry from the list file that is not a web address: a box; Enter answers No"
start_program
for i in 0 1 2 3; do
  key Return
  expect_box 50
  grep -qF "「${entries[$i]}」" <<<"$box" || fail "the box for ${entries[$i]} shows: $box"
  [ "$i" -eq 0 ] && shot walk-6-question "$box"
  sleep 0.5
  key Return
  wait_no_box
  wait_for "selected $((i + 1))"
done
sleep 1
[ ! -e "$marks" ] || fail "No ran something: $(marked)"
ok "each of the four asked first, showing the entry; Enter answered No, nothing ran and the selection moved on"
key Return
wait_lines "$recorder_log" 1
[ "$(cat "$recorder_log" 2>/dev/null)" = "https://example.com/web" ] || fail "the web address did not open: $(cat "$recorder_log" 2>/dev/null)"
[ -z "$(boxes)" ] || fail "a web address asked: $(boxes)"
ok "the web address after them opened at once, with no box"

echo "== Enter, Tab, Enter typed quickly: the keys typed ahead of the box do not answer it"
click_row 1
wait_for "selected 1"
key --delay 40 Return Tab Return
sleep 0.8
box=$(boxes)
grep -qF "「${entries[1]}」" <<<"$box" || fail "after Enter, Tab, Enter the box is gone or another: $box"
key Return
wait_no_box
wait_for "selected 2"
sleep 1
[ ! -e "$marks" ] || fail "keys typed ahead answered Yes: $(marked)"
ok "after Enter, Tab, Enter the box was still up with No the default; Enter then answered No"

echo "== Yes runs the entry; the same entry runs again without a question"
click_row 0
wait_for "selected 0"
key Return
expect_box 50
sleep 0.5
key y
wait_mark a.sh 1
wait_no_box
wait_for "selected 1"
click_row 0
wait_for "selected 0"
key Return
wait_mark a.sh 2
[ -z "$(boxes)" ] || fail "the entry answered Yes asked again: $(boxes)"
ok "Yes ran a.sh once; Go on it again ran it without a box"

echo "== A path typed into the field and added runs at once"
click_field
xdotool type --delay 20 "${entries[3]}"
key Return
wait_for "selected 5"
key Return
wait_mark d.bat 1
[ -z "$(boxes)" ] || fail "the typed path asked: $(boxes)"
[ "$(marked)" = "a.sh a.sh d.bat " ] || fail "marks: $(marked)"
ok "the typed d.bat ran at once, without a box; nothing else ran"
# The batch file's console took the activation: a click gives it back before Alt+F4.
click_row 0
close_program

echo "== Enter held over 12 entries from the list file: none runs, the walk reaches the end"
many=()
for i in $(seq -w 0 11); do
  script "s$i.sh"
  many+=("$dl/s$i.sh")
done
image "${many[@]}" >"$work/korlinkwalker.dat"
rm -f "$marks"
start_program
presses=$(hold_key Return 250)
sleep 0.5
# The key has gone up: a box still open for the last entry is answered with Esc.
for _ in 1 2; do
  [ -z "$(boxes)" ] && break
  key Escape
  sleep 0.5
done
wait_no_box
state=$(probe_state)
grep -qx "selected 11" <<<"$state" || fail "the walk did not reach the end ($presses presses): $state"
sleep 1
[ ! -e "$marks" ] || fail "a held Enter ran: $(marked)"
ok "Enter held ($presses presses) walked all 12 to the end and ran none of them"
close_program

echo "== A .url file dragged from X whose URL= names a script asks before it runs"
script e.sh
printf '[InternetShortcut]\r\nURL=%s\r\n' "$(winepath -w "$dl/e.sh" 2>/dev/null)" >"$dl/shortcut.url"
image "https://example.com/first" >"$work/korlinkwalker.dat"
rm -f "$marks"
start_program
read -r _ l t r b < <(grep '^list-rect ' <<<"$(probe_state)")
hex=$(printf 'file://%s\r\n' "$dl/shortcut.url" | od -An -tx1 | tr -d ' \n')
/usr/bin/python3 "$e2e_support/xdnd_source.py" "$logs/xdnd.log" "$wid" \
  "$(((l + r) / 2)),$(((t + b) / 2))" --offer text/uri-list "$hex" ||
  fail "the X drag did not run to its end: $(cat "$logs/xdnd.log")"
wait_for "selected 1"
key Return
expect_box 50
grep -qF "「$(winepath -w "$dl/e.sh" 2>/dev/null)」" <<<"$box" || fail "the box shows: $box"
sleep 0.5
key Escape
wait_no_box
sleep 1
[ ! -e "$marks" ] || fail "the dropped shortcut ran: $(marked)"
ok "the dropped shortcut's script asked; Esc answered No and nothing ran"
close_program

echo "== Entries a shell takes for a file, a program or a variable ask; the others reach their handler exactly"
# In the folder the program starts in, as a list from someone else would find them.
printf '@echo x.bat>>%s\r\n' "$(winepath -w "$marks" 2>/dev/null)" >"$work/x.bat"
printf '@echo www.AMD64.bat>>%s\r\n' "$(winepath -w "$marks" 2>/dev/null)" >"$work/www.AMD64.bat"
printf '#!/bin/sh\necho x.sh >>"%s"\n' "$marks" >"$work/x.sh"
chmod +x "$work/x.sh"
batch payload.bat
long_dir=$(winepath -w "$dl" 2>/dev/null)
long_path="$long_dir\\$(printf 'd%.0s' $(seq $((420 - ${#long_dir} - 1 - 12))))\\payload.bat"
[ ${#long_path} -eq 420 ] || fail "the long path has ${#long_path} characters"
asking=(
  "http://example.com/../../x.bat"
  "https://example.com/../../x.sh"
  "mailto:x/../x.bat"
  "www.%PROCESSOR_ARCHITECTURE%.bat"
  "http://%USERNAME%.attacker.example/"
  "mailto:a@b.example?attach=/etc/hostname"
  "$long_path"
)
handed=(
  "http://example.com/../../none.bat"
  "mailto:a@b.example?subject=Hi&body=x"
  "http://example.com/%41%42"
)
image "${asking[@]}" "${handed[@]}" >"$work/korlinkwalker.dat"
rm -f "$recorder_log" "$marks"
start_program
for i in "${!asking[@]}"; do
  key Return
  expect_box 50
  if [ "$i" -eq 6 ]; then
    # The beginning, "…" and the end: the name of what would run is in view.
    grep -qF "「${long_path:0:40}" <<<"$box" || fail "the long path's beginning is not shown: $box"
    grep -qF "…" <<<"$box" || fail "the long path is not shortened: $box"
    grep -qF "${long_path: -120}」" <<<"$box" || fail "the long path's end is not shown: $box"
    shot long-path-question "$box"
  else
    grep -qF "「${asking[$i]}」" <<<"$box" || fail "the box for ${asking[$i]} shows: $box"
  fi
  sleep 0.5
  key Return
  wait_no_box
  wait_for "selected $((i + 1))"
done
for _ in "${handed[@]}"; do key Return; done
wait_lines "$recorder_log" 3
[ "$(cat "$recorder_log" 2>/dev/null)" = "$(printf '%s\n' "${handed[@]}")" ] ||
  fail "the handler got: $(cat "$recorder_log" 2>/dev/null)"
[ -z "$(boxes)" ] || fail "a web address asked: $(boxes)"
sleep 1
[ ! -e "$marks" ] || fail "something ran: $(marked)"
ok "the ${#asking[@]} entries a shell takes for a file or a variable, or with an attachment, asked and ran nothing; the ${#handed[@]} web addresses reached their handler exactly"
close_program

echo "== A pasted path with a right-to-left override, added with Enter: Go asks and shows a stand-in"
rlo=$(printf '\xe2\x80\xae')
batch "${rlo}fdp.bat"
disguised="$(winepath -w "$dl" 2>/dev/null)\\${rlo}fdp.bat"
image "https://example.com/first" >"$work/korlinkwalker.dat"
rm -f "$marks"
x_clipboard "$disguised"
start_program
click_field
key ctrl+v
sleep 0.5
key Return
wait_for "selected 1"
key Return
expect_box 50
grep -qF "「$(winepath -w "$dl" 2>/dev/null)\\$(printf '\xef\xbf\xbd')fdp.bat」" <<<"$box" ||
  fail "the box does not show the stand-in: $box"
shot override-question "$box"
sleep 0.5
key Return
wait_no_box
stop_xclip || true
xclip_pid=""
sleep 1
[ ! -e "$marks" ] || fail "the pasted path ran: $(marked)"
ok "the pasted path with U+202E asked, showing U+FFFD in its place; No ran nothing"
close_program

echo "== The box under the Western code page"
image "$(winepath -w "$dl/a.sh" 2>/dev/null)" >"$work/korlinkwalker.dat"
start_program C.UTF-8
key Return
expect_box 50
grep -qF "ウェブのアドレスではない項目を開こうとしています。" <<<"$box" || fail "under 1252 the box shows: $box"
shot cp1252-question "$box"
sleep 0.5
key Return
wait_no_box
close_program
[ ! -e "$marks" ] || fail "No ran something under 1252: $(marked)"
ok "under 1252 the box shows the Japanese question and No runs nothing"
echo "questions: $checks checks passed"
