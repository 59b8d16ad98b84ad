#!/usr/bin/env bash
# The tooltip of a cut-off entry, on the real program under Wine: the pointer rests on an entry
# wider than the list and the platform's tooltip window shows the whole entry; on a short entry
# none shows; a long selected entry shows its tip to the keyboard after a pause. Screenshots of
# each step stay in the logs.
#   tooltip_e2e.sh KorLinkWalker.exe klw_probe.exe   (WINEPREFIX: the prefix)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"

test_folders tip
own_display 210

short="https://example.com/short"
long="https://he.wikipedia.org/wiki/ירושלים?id=0123456789&page=ירושלים-and-a-long-tail-that-does-not-fit"
image "$short" "$long" "https://example.com/third" >"$work/korlinkwalker.dat"

# The visible tooltips of the prefix, one line each: their text.
tips() {
  rm -f "$logs/tips.txt"
  probe_to tips tips.txt
  cat "$logs/tips.txt" 2>/dev/null || true
}
# wait_tip TEXT: waits up to 6 s for a visible tooltip reading TEXT.
wait_tip() {
  for _ in $(seq 30); do
    [ "$(tips)" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
shot() {
  import -window root "$logs/root.png"
  convert "$logs/root.png" -crop 700x260+0+0 +repage "$logs/$1.png"
}

for locale in ja_JP.UTF-8 C.UTF-8; do
  start_program "$locale"
  wait_for "count 3"
  read -r ll lt lr lb <<<"$(sed -n 's/^list-rect //p' "$logs/state.txt")"
  # Rows are 12 pixels high inside a 2-pixel border.
  row_y() { echo $((lt + 2 + $1 * 12 + 6)); }
  xdotool mousemove $((ll + 40)) "$(row_y 0)"
  sleep 1.5
  [ -z "$(tips)" ] || fail "under $locale a tooltip shows over the short entry: $(tips)"
  ok "under $locale no tooltip over an entry that fits"
  xdotool mousemove $((ll + 60)) "$(row_y 1)"
  wait_tip "$long" || fail "under $locale no tooltip with the whole long entry: '$(tips)'"
  shot "tip-$locale"
  ok "under $locale the pointer on the long entry shows it whole in a tooltip"
  xdotool mousemove $((ll + 40)) "$(row_y 2)"
  for _ in $(seq 20); do [ -z "$(tips)" ] && break; sleep 0.2; done
  [ -z "$(tips)" ] || fail "under $locale the tooltip stays on a short entry: $(tips)"
  ok "under $locale the tooltip goes when the pointer moves to a short entry"
  # The keyboard: the pointer leaves the window, Down selects the long entry.
  xdotool mousemove 5 590
  xdotool windowfocus --sync "$wid"
  xdotool key Tab Tab
  wait_for "focus ListBox"
  xdotool key Down
  wait_for "selected 1"
  wait_tip "$long" || fail "under $locale no tooltip for the selected long entry: '$(tips)'"
  ok "under $locale the selected long entry shows whole after a pause"
  xdotool key Down
  wait_for "selected 2"
  sleep 1.5
  [ -z "$(tips)" ] || fail "under $locale a tooltip shows for the short selected entry: $(tips)"
  ok "under $locale no tooltip for a selected entry that fits"
  close_program
  cmp -s "$work/korlinkwalker.dat" <(image "$short" "$long" "https://example.com/third") ||
    fail "under $locale the list file changed"
  ok "under $locale the list file is the same byte for byte"
done
echo "tooltip: $checks checks passed"
echo "1 passed, 0 failed"
