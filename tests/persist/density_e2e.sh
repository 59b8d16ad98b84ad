#!/usr/bin/env bash
# One list file on every display. On the real program under Wine, in a prefix of the test's own
# whose pixel density (LogPixels) it changes between starts: a list saved by the program at one
# density and opened at another shows the window as designed for the opening density (every
# control within a pixel of the design scaled, inside the client area, none over another), and
# at the same density the file is written back byte for byte. Files of earlier builds, which
# held the list's rectangle in the pixels of their density, open the same way. With
# KLW_DENSITY_SHOTS=DIR, screenshots of a list saved at 120 opened at 96, 144 and 192 go there.
#   density_e2e.sh KorLinkWalker.exe klw_probe.exe     (WINEPREFIX names the test's own prefix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/e2e_program.sh"
"$here/../../tools/wineprefix.sh" "$WINEPREFIX" 96 unmanaged
program_test "$1" "$2"
export LC_ALL=ja_JP.UTF-8

test_folders density base
density=96
# The prefix goes back to 96 pixels per inch, whatever happened.
back_to_96() { [ "$density" = 96 ] || set_density 96; }
exit_hook=back_to_96
test_display 120

# Wine reads LogPixels when its server starts.
set_density() {
  wine_quiet reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
  wineserver -p3 >/dev/null 2>&1 </dev/null || true
  density=$1
}
entries=(https://a.example/ "https://b.example/日本語")
# The window at the current density, checked against the design; sets list to its rectangle.
check_window() {
  probe_state >"$logs/$1.state"
  list=$(python3 "$here/../support/check_layout.py" "$logs/$1.state" "$density") ||
    fail "$1: the window is not as designed at $density pixels per inch: $list"
  ok "$1: as designed at $density pixels per inch, the list at $list"
}
shot() {
  [ -n "${KLW_DENSITY_SHOTS:-}" ] || return 0
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$KLW_DENSITY_SHOTS/$1.png" 2>/dev/null ||
    echo "no screenshot $1" >&2
}
# The window place is kept in the prefix: the same corner for every start.
place_at 40 40

# Saved by the program at FROM (an address added through the window), opened at TO.
for pair in 96:192 96:144 120:96 144:120 192:96 96:96; do
  from=${pair%:*} to=${pair#*:}
  work="$base/saved-$from-$to"
  mkdir -p "$work"
  image "${entries[@]}" >"$work/korlinkwalker.dat"
  set_density "$from"
  start_program
  check_window "saved at $from"
  xdotool type --delay 60 "https://c.example/$from"
  xdotool key Return
  wait_for "item https://c.example/$from"
  close_program
  cp "$work/korlinkwalker.dat" "$logs/saved-$from-$to.dat"
  set_density "$to"
  start_program
  check_window "saved at $from, opened at $to"
  state=$(cat "$logs/saved at $from, opened at $to.state")
  grep -qxF "item https://c.example/$from" <<<"$state" || fail "the list saved at $from lost its entry: $state"
  close_program
  if [ "$from" = "$to" ]; then
    cmp "$work/korlinkwalker.dat" "$logs/saved-$from-$to.dat" ||
      fail "at one density the file was not written back byte for byte"
    ok "at $to the list file is written back byte for byte"
  fi
done

# Files of earlier builds: the list's rectangle (and rows) in the pixels of the density they
# were saved at, as the table of that build's measurements gives them.
while read -r from to left top width height rows; do
  work="$base/old-$from-$to"
  mkdir -p "$work"
  image --geometry "$left" "$top" "$width" "$height" "$rows" "${entries[@]}" >"$work/korlinkwalker.dat"
  set_density "$to"
  start_program
  check_window "an earlier build's file of $from opened at $to"
  [ "$from" = 120 ] && shot "density-$to-saved-at-120"
  close_program
done <<'CASES'
120 96 5 5 334 166 15
144 120 6 6 401 200 18
192 96 8 8 534 266 24
120 144 5 5 334 166 15
120 192 5 5 334 166 15
CASES

echo "$checks checks passed"
