#!/usr/bin/env bash
# Links dragged from X and lists pasted from the X clipboard into the installed program, as on a
# Linux desktop: tools/install.sh into a temporary HOME, the program started by its launcher.
# - An XDND source (tests/support/xdnd_source.py) drags a link as Firefox and as Chromium offer
#   it, first onto the bare drop logger in the same prefix (what Wine hands over: its formats and
#   bytes), then onto the program's list: "https://fr.wikipedia.org/wiki/Café" and
#   "https://ja.wikipedia.org/wiki/日本語" in both browsers' orders are appended exactly. A drag
#   offering only an unknown type is refused and adds nothing. After Alt+F4 korlinkwalker.dat
#   holds the entries byte for byte, and the next start shows them.
# - xclip puts lines on the CLIPBOARD: five (one Korean, one empty) pasted with Ctrl+V into the
#   entry field become four entries and leave the field as it was; one line pastes into the
#   field; Shift+Insert and Ctrl+V in the list append the lines.
# Screenshots after the drops and the pastes are taken into the logs, which stay on failure (or
# with KLW_KEEP_LOGS set), in a folder named at the end.
#   x_drop_paste_test.sh BUILD_DIR   (a built Windows tree with klw_probe.exe and klw_drop_logger.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
probe="$build/win/tests/persist/klw_probe.exe"
logger="$build/win/tests/klw_drop_logger.exe"
for f in "$probe" "$logger"; do
  [ -f "$f" ] || { echo "x_drop_paste_test.sh: build the Windows tree first ($f is missing)" >&2; exit 1; }
done
support="$root/tests/support"
# python3-xlib is Debian's: the system's Python, whatever python3 comes first on the PATH.
xpython=/usr/bin/python3
source "$support/e2e_program.sh"

t=$(mktemp -d /tmp/klw-xdrop.XXXXXX)
logs=$(mktemp -d /tmp/klw-xdrop-logs.XXXXXX)
temp_dirs=("$t" "$logs")
keep_logs=1
export HOME="$t/home" XDG_DATA_HOME="$t/data"
mkdir -p "$HOME" "$XDG_DATA_HOME"
prefix="$XDG_DATA_HOME/korlinkwalker/prefix"
launcher="$HOME/.local/bin/korlinkwalker"
clip_pid=""
checks=0
# The clipboard's owner and the installed prefix's wineserver.
end_owners() {
  [ -n "$clip_pid" ] && kill "$clip_pid" >/dev/null 2>&1 || true
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 </dev/null || true
}
exit_hook=end_owners
own_display 78

# Wine's output goes to files, never through a pipe: a wineserver started here would inherit it.
in_prefix() {
  WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}
probe_state() {
  rm -f "$logs/state.txt"
  (cd "$logs" && in_prefix wine "$probe" state state.txt >>"$logs/probe.log" 2>&1 </dev/null) ||
    fail "the probe found no main window$(program_gone)"
  cat "$logs/state.txt"
}
# Says whether the program's process has ended.
program_gone() {
  [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null && echo ": the program's process has ended"
  return 0
}
# The program by its launcher in FOLDER; sets program_pid and wid.
start_installed() {
  (cd "$1" && PATH="$HOME/.local/bin:$PATH" exec korlinkwalker >>"$logs/program.log" 2>&1 </dev/null) &
  program_pid=$!
  wait_main_window 300
}
list_center() {
  read -r _ l top r b < <(grep '^list-rect ' <<<"$(probe_state)")
  echo "$(((l + r) / 2)),$(((top + b) / 2))"
}
# xdnd NAME WINDOW POINT ARGS...: one drag from X, its steps logged to $logs/xdnd-NAME.log.
xdnd() {
  local name=$1 window=$2 point=$3
  shift 3
  "$xpython" "$support/xdnd_source.py" "$logs/xdnd-$name.log" "$window" "$point" "$@" ||
    fail "the X drag $name did not run to its end: $(cat "$logs/xdnd-$name.log")"
}

echo "== tools/install.sh into HOME=$HOME"
KLW_BUILD_DIR=$build "$root/tools/install.sh" >"$logs/install.log" 2>&1 </dev/null ||
  { cat "$logs/install.log"; fail "tools/install.sh failed"; }
in_prefix wineserver -p >/dev/null 2>&1 </dev/null

fr="https://fr.wikipedia.org/wiki/Café"
fr_title="Café — Wikipédia"
ja="https://ja.wikipedia.org/wiki/日本語"
ja_title="日本語 - Wikipedia"
unknown_hex=$(printf 'https://example.com/unknown' | od -An -tx1 | tr -d ' \n')

echo "== What Wine hands over from X: each offer onto the bare drop logger"
for browser in firefox chromium unknown; do
  rm -f "$logs/logger-$browser.log"
  (in_prefix exec wine "$logger" drop "$(in_prefix winepath -w "$logs/logger-$browser.log" 2>/dev/null)" 500 300 400 300 \
    >>"$logs/logger.out" 2>&1 </dev/null) &
  logger_pid=$!
  for _ in $(seq 100); do grep -q '^ready 00000000' "$logs/logger-$browser.log" 2>/dev/null && break; sleep 0.1; done
  grep -q '^ready 00000000' "$logs/logger-$browser.log" || fail "the logger did not register its drop target"
  lwid=$(xdotool search --onlyvisible --name '^KLW Drop Logger$' | head -1)
  case $browser in
    firefox | chromium) xdnd "logger-$browser" "$lwid" 700,450 --browser "$browser" "$ja" "$ja_title" ;;
    unknown) xdnd "logger-$browser" "$lwid" 700,450 --offer application/x-klw-unknown "$unknown_hex" ;;
  esac
  for _ in $(seq 50); do grep -qx end "$logs/logger-$browser.log" && break; sleep 0.1; done
  wait "$logger_pid" || true
  echo "   $browser: $(sed -n 's/^format [0-9]* \(.*\) [0-9]*$/\1/p' "$logs/logger-$browser.log" | paste -sd'|')"
done
# The raw formats carry the offered bytes unchanged, not NUL-terminated; from Chromium's order the
# text Wine makes of text/plain is Latin-1, "日本語" as "æ—¥æœ¬èªž".
python3 - "$logs" "$ja" "$ja_title" <<'PY' || fail "the logger did not see what Wine is known to hand over"
import sys
logs, address, title = sys.argv[1:]
def data(browser):
    lines = open(f"{logs}/logger-{browser}.log", encoding="utf-8").read().splitlines()
    assert "end" in lines, lines
    # "data CF NAME SIZE HEX": the name may hold spaces.
    rows = [l.split(" ") for l in lines if l.startswith("data ")]
    return [(" ".join(r[2:-2]), bytes.fromhex(r[-1])) for r in rows]
ff = dict(data("firefox"))
assert ff["text/x-moz-url"] == (address + "\n" + title).encode("utf-16-le")
assert ff["_NETSCAPE_URL"] == (address + "\n" + title).encode("utf-8")
assert ff["text/plain;charset=utf-8"] == address.encode("utf-8")
assert "CF_UNICODETEXT" not in ff
cr = data("chromium")
assert dict(cr)["text/x-moz-url"] == (address + "\n" + title).encode("utf-16-le")
assert dict(cr)["_NETSCAPE_URL"] == (address + "\n" + title).encode("utf-8")
text = [d for n, d in cr if n == "CF_UNICODETEXT"][0]
assert text == (address.encode("utf-8").decode("latin-1") + "\0").encode("utf-16-le"), text
assert data("unknown") == []
PY
ok "Wine handed over the raw X types byte for byte, Chromium's text/plain as Latin-1, nothing for an unknown type"

echo "== Links dragged from X onto the installed program"
mkdir "$t/list"
start_installed "$t/list"
wait_for "count 0"
xdotool type --delay 30 "typed"
wait_for "field typed"
point=$(list_center)
entries=()
n=0
for browser in firefox chromium; do
  for link in fr ja; do
    if [ $link = fr ]; then address=$fr title=$fr_title; else address=$ja title=$ja_title; fi
    xdnd "$browser-$link" "$wid" "$point" --browser "$browser" "$address" "$title"
    entries+=("$address")
    n=$((n + 1))
    wait_for "count $n"
    grep -qx 'status 1 XdndActionCopy' "$logs/xdnd-$browser-$link.log" && grep -qx 'finished 1 XdndActionCopy' "$logs/xdnd-$browser-$link.log" ||
      fail "the program did not accept the $browser drag with a copy: $(cat "$logs/xdnd-$browser-$link.log")"
  done
done
state=$(probe_state)
[ "$(grep -E '^(count|selected|item|field|focus) ' <<<"$state")" = \
  "$(printf 'count 4\nselected 3\n'; printf 'item %s\n' "${entries[@]}"; printf 'field typed\nfocus Edit')" ] ||
  fail "after the four drops: $state"
ok "Café and 日本語, dragged in Firefox's and in Chromium's order, were appended exactly; the last is selected, the field and the focus kept"

xdnd unknown "$wid" "$point" --offer application/x-klw-unknown "$unknown_hex" --drop-anyway
grep -qx 'status 0 None' "$logs/xdnd-unknown.log" || fail "the unknown type was not refused: $(cat "$logs/xdnd-unknown.log")"
sleep 0.5
state=$(probe_state)
grep -qx "count 4" <<<"$state" && grep -qx "selected 3" <<<"$state" || fail "the unknown type changed the list: $state"
ok "a drag offering only an unknown type is refused, and its drop adds nothing"
import -window root "$logs/after-drops.png"

close_program
python3 "$support/list_image.py" "${entries[@]}" >"$logs/expected-drops.dat"
# Spelled out by hand for the two links: "é" as c3 a9, "日本語" as e6 97 a5 e6 9c ac e8 aa 9e.
python3 - "$logs/expected-drops.dat" <<'PY' || fail "the expected image does not spell the rule"
import sys
image = open(sys.argv[1], "rb").read()
fr = bytes.fromhex("14 23 00 00 00") + b"https://fr.wikipedia.org/wiki/Caf" + bytes.fromhex("c3 a9")
ja = bytes.fromhex("14 27 00 00 00") + b"https://ja.wikipedia.org/wiki/" + bytes.fromhex("e6 97 a5 e6 9c ac e8 aa 9e")
assert b"\x0dItems.Strings\x01" + fr + ja + fr + ja + b"\x00\x08TabOrder" in image
PY
cmp "$logs/expected-drops.dat" "$t/list/korlinkwalker.dat" || fail "the saved file is not the four dropped links"
start_installed "$t/list"
state=$(probe_state)
[ "$(grep -E '^(count|item) ' <<<"$state")" = "$(printf 'count 4\n'; printf 'item %s\n' "${entries[@]}")" ] ||
  fail "the next start shows: $state"
close_program
ok "after Alt+F4 korlinkwalker.dat holds the four links byte for byte, and the next start shows them"

echo "== Lists pasted from the X clipboard"
# clip TEXT: xclip serves TEXT as the CLIPBOARD (the one before it gives way); waits until Wine's
# clipboard shows it, as the drop logger reads it.
clip() {
  printf '%s' "$1" >"$logs/clip.txt"
  (exec xclip -quiet -selection clipboard -i "$logs/clip.txt" >/dev/null 2>&1 </dev/null) &
  clip_pid=$!
  for _ in $(seq 50); do
    rm -f "$logs/clipboard.log"
    in_prefix wine "$logger" clipboard "$(in_prefix winepath -w "$logs/clipboard.log" 2>/dev/null)" >>"$logs/logger.out" 2>&1 </dev/null || true
    python3 - "$logs/clipboard.log" "$1" <<'PY' && return 0
import sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
text = [bytes.fromhex(l.split(" ")[-1]) for l in lines if l.startswith("data 13 CF_UNICODETEXT ")]
want = (sys.argv[2].replace("\r\n", "\n").replace("\n", "\r\n") + "\0").encode("utf-16-le")
sys.exit(0 if text and text[0] == want else 1)
PY
    sleep 0.1
  done
  fail "Wine's clipboard never showed the text: $(cut -c1-200 "$logs/clipboard.log")"
}
mkdir "$t/paste"
start_installed "$t/paste"
xdotool type --delay 30 "keep"
wait_for "field keep"
ko="https://ko.wikipedia.org/wiki/한국어"
clip "$(printf 'https://example.com/a\n%s\n\nhttps://example.com/c\nhttps://example.com/d' "$ko")"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+v
wait_for "count 4"
pasted=("https://example.com/a" "$ko" "https://example.com/c" "https://example.com/d")
state=$(probe_state)
[ "$(grep -E '^(count|selected|item|field|focus) ' <<<"$state")" = \
  "$(printf 'count 4\nselected 3\n'; printf 'item %s\n' "${pasted[@]}"; printf 'field keep\nfocus Edit')" ] ||
  fail "after Ctrl+V of five lines in the field: $state"
ok "five lines (one Korean, one empty) pasted with Ctrl+V into the field became four entries in order; the field kept its text"

clip "https://example.com/one"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+v
wait_for "field keephttps://example.com/one"
grep -qx "count 4" <<<"$(probe_state)" || fail "one pasted line was added as an entry: $(probe_state)"
ok "one line pasted into the field as text, at the caret; no entry added"

# Into the list: a click on its empty part below the entries gives it the focus.
read -r _ l top r b < <(grep '^list-rect ' <<<"$(probe_state)")
xdotool mousemove --sync $(((l + r) / 2)) $((b - 8)) click 1
wait_for "focus ListBox"
clip "$(printf 'https://example.com/e\r\nhttps://example.com/f\r\n')"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers shift+Insert
wait_for "count 6"
clip "https://example.com/g"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+v
wait_for "count 7"
pasted+=("https://example.com/e" "https://example.com/f" "https://example.com/g")
state=$(probe_state)
[ "$(grep -E '^(count|selected|item|field|focus) ' <<<"$state")" = \
  "$(printf 'count 7\nselected 6\n'; printf 'item %s\n' "${pasted[@]}"; printf 'field keephttps://example.com/one\nfocus ListBox')" ] ||
  fail "after the pastes in the list: $state"
ok "Shift+Insert in the list appended two lines (CR LF), Ctrl+V one; the field kept its text"
import -window root "$logs/after-paste.png"
close_program
python3 "$support/list_image.py" "${pasted[@]}" >"$logs/expected-paste.dat"
cmp "$logs/expected-paste.dat" "$t/paste/korlinkwalker.dat" || fail "the saved file is not the pasted lines"
ok "after Alt+F4 korlinkwalker.dat holds the seven pasted entries byte for byte"
echo "X drops and paste: $checks checks passed"
