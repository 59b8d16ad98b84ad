#!/usr/bin/env bash
# The per-user installation as a user meets it, in a temporary HOME and XDG_DATA_HOME (both with
# a space in their names): tools/install.sh; the desktop entry validated and started as the
# desktop starts it, in its list folder, where Go hands each address to the host's xdg-open (a
# stand-in that logs its arguments); the launcher from another folder; its messages and exit
# code; a second install over a changed one; the uninstall. After each step the user's folders
# hold exactly what is expected and nothing else; every script drawn in the installed prefix (and
# in the run command's). Last, Go in tools/run.sh's prefix reaches xdg-open the same way.
#   install_test.sh BUILD_DIR     (a built Windows tree in BUILD_DIR/win, with klw_probe.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
probe="$build/win/tests/persist/klw_probe.exe"
[ -f "$probe" ] || { echo "install_test.sh: build the Windows tree first ($probe is missing)" >&2; exit 1; }
source "$root/tests/support/e2e_program.sh"

t=$(mktemp -d /tmp/klw-install.XXXXXX)
scratch="$t/scratch"
# The run command's prefix is the developer's own, in the build tree: it keeps the real HOME,
# which Wine links its Desktop and Documents folders to.
real_home=$HOME
export HOME="$t/home of user" XDG_DATA_HOME="$t/data home"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$scratch"
dir="$XDG_DATA_HOME/korlinkwalker"
prefix="$dir/prefix"
list="$dir/list"
launcher="$HOME/.local/bin/korlinkwalker"
entry="$XDG_DATA_HOME/applications/korlinkwalker.desktop"
icon="$XDG_DATA_HOME/icons/hicolor/32x32/apps/korlinkwalker.png"
temp_dirs=("$t")
# A read-only mount of the test's own, while one is there.
read_only=""
stop_wineserver() {
  tmux -L klw-install-test kill-server >/dev/null 2>&1 || true
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 </dev/null
  [ -z "$read_only" ] || unmount_read_only || true
  return 0
}
# A process still in the mount (the terminal's shell, a program) keeps it busy for a moment
# after its end.
unmount_read_only() {
  for _ in $(seq 20); do umount "$read_only" 2>/dev/null && return 0; sleep 0.2; done
  return 1
}
exit_hook=stop_wineserver
checks=0
own_display 75

# Everything in the two folders, the Wine prefix's inside left out.
listing() {
  (cd "$t" && find "home of user" "data home" -path "data home/korlinkwalker/prefix" -prune -o -print |
    LC_ALL=C sort)
}
installed_listing() {
  LC_ALL=C sort <<'EOF'
data home
data home/applications
data home/applications/korlinkwalker.desktop
data home/icons
data home/icons/hicolor
data home/icons/hicolor/32x32
data home/icons/hicolor/32x32/apps
data home/icons/hicolor/32x32/apps/korlinkwalker.png
data home/korlinkwalker
data home/korlinkwalker/.made-folders
data home/korlinkwalker/KorLinkWalker.exe
data home/korlinkwalker/list
home of user
home of user/.local
home of user/.local/bin
home of user/.local/bin/korlinkwalker
EOF
}
expect_listing() {
  listing >"$scratch/listing.txt"
  diff -u "$scratch/expected-listing.txt" "$scratch/listing.txt" || fail "$1: the user's folders differ (above)"
}

# The list file the program saves for these entries.

# Wine's output goes to files, never through a pipe: a wineserver started here would inherit it.
in_prefix() {
  WINEPREFIX=${use_prefix:-$prefix} WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}
probe_state() {
  rm -f "$scratch/state.txt"
  (cd "$scratch" && in_prefix wine "$probe" state state.txt >>"$scratch/probe.log" 2>&1 </dev/null) ||
    fail "the probe found no main window"
  cat "$scratch/state.txt"
}
wait_count() {
  local state=""
  for _ in $(seq 50); do
    state=$(probe_state)
    grep -qx "count $1" <<<"$state" && return
    sleep 0.1
  done
  fail "expected $1 entries: $state"
}
wait_gone() {
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window did not close"
}

echo "== tools/install.sh into HOME=$HOME, XDG_DATA_HOME=$XDG_DATA_HOME"
KLW_BUILD_DIR=$build "$root/tools/install.sh" >"$scratch/install.log" 2>&1 </dev/null ||
  { cat "$scratch/install.log"; fail "tools/install.sh failed"; }
installed_listing >"$scratch/expected-listing.txt"
expect_listing "after the install"
ok "the install wrote exactly the program, its prefix, the list folder, launcher, entry and icon"
cmp "$build/win/src/app/KorLinkWalker.exe" "$dir/KorLinkWalker.exe" || fail "the installed exe is not the built one"
[ -x "$launcher" ] || fail "the launcher is not executable"
[ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ] || fail "no Wine prefix in $prefix"
[ "$(identify -format '%m %wx%h' "$icon")" = "PNG 32x32" ] || fail "the icon is $(identify "$icon")"
ok "the exe is the built one, the launcher executable, the icon a 32x32 PNG"

desktop-file-validate "$entry" >"$scratch/validate.txt" 2>&1 || { cat "$scratch/validate.txt"; fail "desktop-file-validate rejects the entry"; }
# Not even a hint: two main categories, for one, put the program twice into some menus.
if [ -s "$scratch/validate.txt" ]; then cat "$scratch/validate.txt"; fail "desktop-file-validate has something to say"; fi
for line in "Type=Application" "Name=KORVANE LINKWALKER" "Icon=korlinkwalker" "Categories=Network;"; do
  grep -qxF "$line" "$entry" || fail "the entry has no line $line"
done
ok "desktop-file-validate has nothing to say about the entry; it names the program, its icon and one main category"

in_prefix wine reg query 'HKCU\Software\Wine\Fonts\Replacements' >"$scratch/fonts.txt" 2>&1 </dev/null || fail "no font replacements"
grep -q "Ume P Gothic" "$scratch/fonts.txt" && grep -q "Ume Gothic" "$scratch/fonts.txt" || fail "fonts not mapped: $(cat "$scratch/fonts.txt")"
for scheme in http https; do
  in_prefix wine reg query "HKCR\\$scheme\\shell\\open\\command" /ve >"$scratch/$scheme.txt" 2>&1 </dev/null || fail "no $scheme handler"
  grep -qi 'winebrowser' "$scratch/$scheme.txt" || fail "the $scheme handler is not Wine's browser bridge: $(cat "$scratch/$scheme.txt")"
done
[ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] || fail "Wine's own fonts are not in the prefix's Fonts folder"
ok "the prefix maps the fonts and has Wine's own; http and https open through winebrowser"

# Every script drawn in the installed prefix, by the installed program: the list and the field
# under 932 and 1252, each word beside its twin that no font draws.
echo "== Every script in the installed prefix"
in_prefix wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' >"$scratch/links.txt" 2>&1 </dev/null ||
  fail "no font links in the installed prefix"
WINEPREFIX=$prefix bash "$root/tests/ui/scripts_e2e.sh" "$dir/KorLinkWalker.exe" "$probe" >"$scratch/scripts.log" 2>&1 </dev/null ||
  { cat "$scratch/scripts.log"; fail "the installed program does not draw every script"; }
grep '^note: ' "$scratch/scripts.log" || true
ok "the installed program draws every script in the list and the field, under 932 and 1252 ($(grep -c '^ok: ' "$scratch/scripts.log") checks)"

# A stand-in for the desktop's xdg-open, first on the PATH: one line per argument.
mkdir -p "$scratch/bin"
cat >"$scratch/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$scratch/xdg-open.log"
EOF
chmod +x "$scratch/bin/xdg-open"
ja="https://ja.wikipedia.org/wiki/日本語"
# Enter presses Go, the default button: it opens the selected entry and selects the next. Both
# entries in turn; xdg-open must have received exactly them.
go_both() {
  rm -f "$scratch/xdg-open.log"
  for n in 1 2; do
    xdotool windowfocus --sync "$wid"
    xdotool key Return
    for _ in $(seq 100); do
      [ "$(wc -l 2>/dev/null <"$scratch/xdg-open.log" || echo 0)" -ge "$n" ] && break
      sleep 0.1
    done
  done
  printf '%s\n' "$ja" "$query" >"$scratch/expected-open.log"
  cmp "$scratch/expected-open.log" "$scratch/xdg-open.log" ||
    fail "xdg-open received: $(cat "$scratch/xdg-open.log" 2>/dev/null)"
}
query="https://example.com/x?q=1&r=2"

echo "== The desktop entry, started as the desktop starts it"
image "$ja" "$query" >"$list/korlinkwalker.dat"
# gio itself makes an empty cache folder: the desktop's, not the installation's.
PATH="$scratch/bin:$PATH" XDG_CACHE_HOME="$scratch/cache" gio launch "$entry" >"$scratch/gio.log" 2>&1 </dev/null || { cat "$scratch/gio.log"; fail "gio launch failed"; }
wait_main_window 300
state=$(probe_state)
[ "$(grep -E '^(count|selected|item) ' <<<"$state")" = "$(printf 'count 2\nselected 0\nitem %s\nitem %s' "$ja" "$query")" ] ||
  fail "the program did not read the list folder's file: $state"
ok "started from the entry, the program read korlinkwalker.dat in $list"
go_both
ok "Go handed both addresses to xdg-open unchanged, as UTF-8"
added="http://example.net/added"
xdotool type --delay 30 "$added"
xdotool key Return
wait_count 3
# Started from the menu once more while the list is open: no second window, the first in front.
PATH="$scratch/bin:$PATH" XDG_CACHE_HOME="$scratch/cache" gio launch "$entry" >>"$scratch/gio.log" 2>&1 </dev/null || fail "the second gio launch failed"
sleep 5
windows=$(xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' | wc -l)
[ "$windows" = 1 ] || fail "the second start from the menu left $windows windows"
wait_count 3
ok "a second start from the menu entry opens no second window"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
wait_gone
in_prefix wineserver -w
image "$ja" "$query" "$added" >"$scratch/expected.dat"
cmp "$scratch/expected.dat" "$list/korlinkwalker.dat" || fail "the list folder's file is not the saved list"
ok "on close the list was saved in the list folder"

echo "== Enter held over 12 entries: through winebrowser to xdg-open, once each, in list order"
mkdir -p "$scratch/walk" "$scratch/walk-bin"
# This xdg-open logs the moment it starts with the address it was given.
cat >"$scratch/walk-bin/xdg-open" <<EOF
#!/bin/sh
printf '%s %s\n' "\$(date +%s%N)" "\$1" >>"$scratch/walk-open.log"
EOF
chmod +x "$scratch/walk-bin/xdg-open"
walk=()
for i in $(seq -w 0 11); do walk+=("https://example.com/walk/$i"); done
image "${walk[@]}" >"$scratch/walk.dat"
cp "$scratch/walk.dat" "$scratch/walk/korlinkwalker.dat"
(cd "$scratch/walk" && PATH="$scratch/walk-bin:$HOME/.local/bin:$PATH" exec korlinkwalker >"$scratch/walk.log" 2>&1 </dev/null) &
program_pid=$!
wait_main_window 300
# Held down: 12 presses, the key's auto-repeat 40 ms apart.
presses=$(hold_key Return 12)
walk_opens 12 "$presses" "${walk[@]}" >"$scratch/walk-expected.txt"
wait_lines "$scratch/walk-open.log" "$presses"
cut -d' ' -f2- "$scratch/walk-open.log" >"$scratch/walk-order.txt" 2>/dev/null || true
cmp -s "$scratch/walk-expected.txt" "$scratch/walk-order.txt" ||
  fail "after $presses presses xdg-open received, in this order: $(tr '\n' ' ' <"$scratch/walk-order.txt")"
sort -c -n "$scratch/walk-open.log" || fail "xdg-open's log is not in the order of its starts"
ok "xdg-open was started for the 12 addresses once each, in list order ($presses presses)"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
code=0
wait "$program_pid" || code=$?
program_pid=""
[ "$code" -eq 0 ] || fail "the walk's program returned $code"
cmp "$scratch/walk.dat" "$scratch/walk/korlinkwalker.dat" || fail "Alt+F4 after the walk saved another list"
ok "Alt+F4 after the walk saved the list unchanged"

echo "== The launcher in another folder"
mkdir "$scratch/elsewhere"
(cd "$scratch/elsewhere" && PATH="$HOME/.local/bin:$PATH" exec korlinkwalker >"$scratch/launcher.log" 2>&1 </dev/null) &
program_pid=$!
wait_main_window 300
wait_count 0
typed="http://example.com/elsewhere"
xdotool type --delay 30 "$typed"
xdotool key Return
wait_count 1
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
code=0
wait "$program_pid" || code=$?
program_pid=""
[ "$code" -eq 0 ] || fail "the launcher returned $code"
image "$typed" >"$scratch/expected-elsewhere.dat"
cmp "$scratch/expected-elsewhere.dat" "$scratch/elsewhere/korlinkwalker.dat" || fail "no korlinkwalker.dat in the launcher's folder"
cmp "$scratch/expected.dat" "$list/korlinkwalker.dat" || fail "the list folder's file changed"
ok "the launcher ran the program in its current folder, which holds the saved list; exit code 0"

echo "== Ctrl+C in the terminal that started the launcher"
mkdir "$scratch/ctrlc"
image "$typed" >"$scratch/ctrlc/korlinkwalker.dat"
# A terminal of its own (tmux), where Ctrl+C reaches the launcher and the program as at a desk.
tmux -L klw-install-test new-session -d -x 100 -y 20 \
  "cd '$scratch/ctrlc' && PATH='$HOME/.local/bin:$PATH' korlinkwalker >'$scratch/ctrlc.log' 2>&1; echo \$? >'$scratch/ctrlc.code'"
wait_main_window 300
wait_count 1
ctrl_added="http://example.com/ctrl-c"
xdotool type --delay 30 "$ctrl_added"
xdotool key Return
wait_count 2
# At once, before the save after the change is due: what keeps the change is the Ctrl+C.
tmux -L klw-install-test send-keys C-c
for _ in $(seq 100); do [ -s "$scratch/ctrlc.code" ] && break; sleep 0.1; done
tmux -L klw-install-test kill-server >/dev/null 2>&1 || true
[ "$(cat "$scratch/ctrlc.code" 2>/dev/null)" = 0 ] || fail "after Ctrl+C the launcher returned '$(cat "$scratch/ctrlc.code" 2>/dev/null)'"
image "$typed" "$ctrl_added" | cmp - "$scratch/ctrlc/korlinkwalker.dat" || fail "Ctrl+C lost the change"
ok "Ctrl+C in the terminal kept the list and ended the program with code 0"

# The message boxes of the installed prefix: caption, text (and "foreground"), one line each.
probe_boxes() {
  rm -f "$scratch/boxes.txt"
  (cd "$scratch" && in_prefix wine "$probe" boxes boxes.txt >>"$scratch/probe.log" 2>&1 </dev/null) || true
  cat "$scratch/boxes.txt" 2>/dev/null || true
}
wait_box() {
  local box=""
  for _ in $(seq 100); do
    box=$(probe_boxes)
    [ -n "$box" ] && break
    sleep 0.1
  done
  echo "$box"
}
# The program's own process (Wine gives its windows the Linux process id).
window_pid() { xdotool getwindowpid "$wid"; }

echo "== Ctrl+C in the terminal while the list's folder is read-only"
read_only="$scratch/ctrlc-ro"
mkdir "$read_only"
mount -t tmpfs -o size=1m tmpfs "$read_only"
image "$typed" >"$read_only/korlinkwalker.dat"
mount -o remount,ro "$read_only"
# The program's standard error is the terminal's; the shell stays to keep the pane readable.
tmux -L klw-install-test -u new-session -d -x 120 -y 20 \
  "cd '$read_only' && PATH='$HOME/.local/bin:$PATH' korlinkwalker; echo \$? >'$scratch/ctrlc-ro.code'; sleep 120"
wait_main_window 300
wait_count 1
xdotool type --delay 30 "$ctrl_added"
xdotool key Return
wait_count 2
# At once, before the save after the change is due: the Ctrl+C's own save fails.
tmux -L klw-install-test send-keys C-c
box=$(wait_box)
[ "$box" = "$(printf 'Korlinkwalker\tファイル korlinkwalker.dat を作成できません.\tforeground')" ] ||
  [ "$box" = "$(printf 'Korlinkwalker\tファイル korlinkwalker.dat を作成できません.')" ] ||
  fail "after Ctrl+C in a read-only folder the boxes are: $box"
terminal=$(tmux -L klw-install-test capture-pane -p)
grep -qF "Korlinkwalker: ファイル korlinkwalker.dat を作成できません." <<<"$terminal" ||
  fail "the terminal shows: $terminal"
[ ! -s "$scratch/ctrlc-ro.code" ] || fail "the program ended with $(cat "$scratch/ctrlc-ro.code")"
xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' >/dev/null || fail "the window closed"
image "$typed" | cmp - "$read_only/korlinkwalker.dat" || fail "the read-only list changed"
sleep 2
[ "$(probe_boxes)" = "$box" ] || fail "a second box came up: $(probe_boxes)"
ok "Ctrl+C whose save fails: the error on the terminal and in one box ($(cut -f2 <<<"$box")), the window stays open"
tmux -L klw-install-test send-keys C-c
for _ in $(seq 100); do [ -s "$scratch/ctrlc-ro.code" ] && break; sleep 0.1; done
[ "$(cat "$scratch/ctrlc-ro.code" 2>/dev/null)" = 1 ] ||
  fail "a second Ctrl+C: the launcher returned '$(cat "$scratch/ctrlc-ro.code" 2>/dev/null)'"
wait_gone
tmux -L klw-install-test kill-server >/dev/null 2>&1 || true
unmount_read_only || fail "the read-only mount stayed busy after the program's end"
read_only=""
ok "a second Ctrl+C ends the program at once with code 1"

echo "== Ctrl+C while a question is up is carried out once it is answered"
mkdir "$scratch/busy"
# Go on an entry that is not a web address asks first.
image "klwtest:busy" "$typed" >"$scratch/busy/korlinkwalker.dat"
cp "$scratch/busy/korlinkwalker.dat" "$scratch/busy.dat"
tmux -L klw-install-test new-session -d -x 100 -y 20 \
  "cd '$scratch/busy' && PATH='$HOME/.local/bin:$PATH' korlinkwalker; echo \$? >'$scratch/busy.code'; sleep 120"
wait_main_window 300
wait_count 2
xdotool key Return
box=$(wait_box)
grep -qF "「klwtest:busy」" <<<"$box" || fail "Go did not ask: $box"
tmux -L klw-install-test send-keys C-c
sleep 1.5
[ "$(probe_boxes)" = "$box" ] || fail "under the question Ctrl+C left the boxes: $(probe_boxes)"
[ ! -s "$scratch/busy.code" ] || fail "under the question Ctrl+C ended the program with $(cat "$scratch/busy.code")"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers Escape
for _ in $(seq 100); do [ -s "$scratch/busy.code" ] && break; sleep 0.1; done
[ "$(cat "$scratch/busy.code" 2>/dev/null)" = 0 ] ||
  fail "after the answer the launcher returned '$(cat "$scratch/busy.code" 2>/dev/null)' (the Ctrl+C was dropped?)"
tmux -L klw-install-test kill-server >/dev/null 2>&1 || true
cmp "$scratch/busy.dat" "$scratch/busy/korlinkwalker.dat" || fail "the list changed"
ok "Ctrl+C under the question waited for the answer, then saved and ended the program with code 0"

echo "== The terminal closed 0.2 s after a change"
mkdir "$scratch/hangup"
image "$typed" >"$scratch/hangup/korlinkwalker.dat"
# An interactive shell, as in a terminal at a desk, where the command is typed: the hang-up
# reaches the shell, and the shell passes it on to its jobs. Its history stays out of HOME.
tmux -L klw-install-test new-session -d -x 100 -y 20 "HISTFILE=/dev/null bash --norc --noprofile -i"
tmux -L klw-install-test send-keys -l "cd '$scratch/hangup' && PATH='$HOME/.local/bin:$PATH' korlinkwalker"
tmux -L klw-install-test send-keys Enter
wait_main_window 300
wait_count 1
program=$(window_pid)
hangup_added="http://example.com/hang-up"
xdotool type --delay 30 "$hangup_added"
xdotool key Return
sleep 0.2
image "$typed" | cmp -s - "$scratch/hangup/korlinkwalker.dat" || fail "the change was saved before the terminal closed"
image "$typed" "$hangup_added" >"$scratch/hangup.dat"
closed=$(date +%s%N)
tmux -L klw-install-test kill-window
for _ in $(seq 40); do cmp -s "$scratch/hangup.dat" "$scratch/hangup/korlinkwalker.dat" && break; sleep 0.05; done
saved=$((($(date +%s%N) - closed) / 1000000))
cmp "$scratch/hangup.dat" "$scratch/hangup/korlinkwalker.dat" || fail "2 s after the terminal's hang-up the change is not on disk"
# Without a window manager a Wine process takes about 4 s to end once its windows are gone; with
# one, 0.1 s.
for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
gone=$((($(date +%s%N) - closed) / 1000000))
kill -0 "$program" 2>/dev/null && fail "the program outlived its terminal by 10 s"
tmux -L klw-install-test kill-server >/dev/null 2>&1 || true
cmp "$scratch/hangup.dat" "$scratch/hangup/korlinkwalker.dat" || fail "the list changed after the save"
ok "closing the terminal saved the change $saved ms later, and the program ended after $gone ms"

# A stand-in wine: the launcher hands over the program, the prefix and the code page, and
# returns what wine returns.
mkdir -p "$scratch/fake"
cat >"$scratch/fake/wine" <<EOF
#!/bin/sh
printf '%s|%s|%s|%s|%s\n' "\$PWD" "\$WINEPREFIX" "\$LC_ALL" "\$WINEDLLOVERRIDES" "\$*" >"$scratch/fake.log"
exit 7
EOF
chmod +x "$scratch/fake/wine"
code=0
(cd "$scratch/elsewhere" && PATH="$scratch/fake:$PATH" "$launcher" >/dev/null 2>&1 </dev/null) || code=$?
[ "$code" -eq 7 ] || fail "the launcher returned $code where the program returned 7"
[ "$(cat "$scratch/fake.log")" = "$scratch/elsewhere|$prefix|ja_JP.UTF-8|mscoree,mshtml=;winemenubuilder.exe=d|$dir/KorLinkWalker.exe" ] ||
  fail "the launcher ran: $(cat "$scratch/fake.log")"
ok "the launcher returns the program's exit code"
code=0
env PATH=/nonexistent /bin/bash "$launcher" >"$scratch/msg.txt" 2>&1 </dev/null || code=$?
[ "$code" -eq 127 ] && grep -q "Wine is not installed" "$scratch/msg.txt" || fail "without Wine: $code, $(cat "$scratch/msg.txt")"
code=0
env -u DISPLAY "$launcher" >"$scratch/msg.txt" 2>&1 </dev/null || code=$?
[ "$code" -eq 1 ] && grep -q "no X display" "$scratch/msg.txt" || fail "without DISPLAY: $code, $(cat "$scratch/msg.txt")"
code=0
DISPLAY=:4711 "$launcher" >"$scratch/msg.txt" 2>&1 </dev/null || code=$?
[ "$code" -eq 1 ] && grep -q "cannot be opened" "$scratch/msg.txt" || fail "with a display that is not there: $code, $(cat "$scratch/msg.txt")"
ok "clear messages without Wine, without a display and with a display that cannot be opened"

{ installed_listing; echo "data home/korlinkwalker/list/korlinkwalker.dat"; } | LC_ALL=C sort >"$scratch/expected-listing.txt"
expect_listing "after the program's runs"
ok "the runs left nothing in the user's folders but the list file (no menus, entries or icons of Wine's)"

echo "== A second install over an older one"
echo "an older version" >"$dir/KorLinkWalker.exe"
rm "$icon"
KLW_BUILD_DIR=$build "$root/tools/install.sh" >"$scratch/install2.log" 2>&1 </dev/null ||
  { cat "$scratch/install2.log"; fail "the second install failed"; }
expect_listing "after the second install"
cmp "$build/win/src/app/KorLinkWalker.exe" "$dir/KorLinkWalker.exe" || fail "the second install did not replace the exe"
cmp "$scratch/expected.dat" "$list/korlinkwalker.dat" || fail "the second install changed the list"
in_prefix wine reg query 'HKCU\SOFTWARE\KORVANE\LINKWALKER' >"$scratch/place.txt" 2>&1 </dev/null ||
  fail "the second install replaced the prefix: the stored window place is gone"
ok "the second install replaced the program and kept the list and the prefix"

echo "== tools/install.sh --uninstall"
"$root/tools/install.sh" --uninstall >"$scratch/uninstall.log" 2>&1 </dev/null ||
  { cat "$scratch/uninstall.log"; fail "the uninstall failed"; }
LC_ALL=C sort >"$scratch/expected-listing.txt" <<'EOF'
data home
data home/korlinkwalker
data home/korlinkwalker/list
data home/korlinkwalker/list/korlinkwalker.dat
home of user
EOF
expect_listing "after the uninstall"
[ ! -e "$prefix" ] || fail "the prefix is still there"
cmp "$scratch/expected.dat" "$list/korlinkwalker.dat" || fail "the uninstall changed the list"
ok "the uninstall left only the list file"

echo "== The run command, in its own prefix"
use_prefix=$build/win/prefix-run
mkdir "$scratch/run"
image "$ja" "$query" >"$scratch/run/korlinkwalker.dat"
(cd "$scratch/run" && HOME=$real_home PATH="$scratch/bin:$PATH" KLW_BUILD_DIR=$build exec "$root/tools/run.sh" >"$scratch/run.log" 2>&1 </dev/null) &
program_pid=$!
# The first run makes the prefix.
wait_main_window 1200
go_both
ok "in the run command's prefix too, Go handed both addresses to xdg-open"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
code=0
wait "$program_pid" || code=$?
program_pid=""
[ "$code" -eq 0 ] || { cat "$scratch/run.log"; fail "tools/run.sh returned $code"; }
for scheme in http https; do
  in_prefix wine reg query "HKCR\\$scheme\\shell\\open\\command" /ve >"$scratch/$scheme.txt" 2>&1 </dev/null || fail "no $scheme handler"
  grep -qi 'winebrowser' "$scratch/$scheme.txt" || fail "the run command's $scheme handler: $(cat "$scratch/$scheme.txt")"
done
ok "the run command's prefix opens http and https through winebrowser"
WINEPREFIX=$use_prefix HOME=$real_home bash "$root/tests/ui/scripts_e2e.sh" "$build/win/src/app/KorLinkWalker.exe" "$probe" \
  >"$scratch/scripts-run.log" 2>&1 </dev/null || { cat "$scratch/scripts-run.log"; fail "in the run command's prefix not every script is drawn"; }
ok "in the run command's prefix too, every script is drawn in the list and the field ($(grep -c '^ok: ' "$scratch/scripts-run.log") checks)"
echo "install: $checks checks passed"
